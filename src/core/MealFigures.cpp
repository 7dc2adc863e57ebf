#include "MealFigures.h"

#include "FoodRows.h"

MealFigures MealFigures::of(double amount, const FoodEntry &perUnit)
{
    MealFigures figures;
    figures.calories = amount * perUnit.caloriesPerUnit;
    figures.vegetables = amount * perUnit.vegetableServings;
    figures.fruits = amount * perUnit.fruitServings;
    figures.supplements = perUnit.supplement ? amount : 0.0;
    figures.entrees = perUnit.entree ? amount : 0.0;
    return figures;
}

void FigureSums::add(const MealFigures &meal)
{
    ++meals;
    calories += meal.calories;
    vegetables += meal.vegetables;
    fruits += meal.fruits;
    supplements += meal.supplements;
    entrees += meal.entrees;
}
