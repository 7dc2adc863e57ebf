#pragma once

#include <QtGlobal>

struct FoodEntry;

// What one meal adds up to: the values per unit of its food entry, times the amount eaten. An
// entry marked as an entree or a supplement of the meal plan counts the amount itself. The meal
// view and the printed reports both take a meal's figures from here.
struct MealFigures
{
    double calories = 0;
    double vegetables = 0; // servings
    double fruits = 0;     // servings
    double supplements = 0;
    double entrees = 0;

    static MealFigures of(double amount, const FoodEntry &perUnit);
    double fruitsAndVegetables() const { return fruits + vegetables; }
};

// The figures of many meals added up, and how many meals there were.
struct FigureSums : MealFigures
{
    qint64 meals = 0;

    void add(const MealFigures &meal);
};
