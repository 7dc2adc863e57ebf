#pragma once

#include "DateSpan.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// Finding a food by a few typed letters, as the food boxes of the editors do.
//
// A name matches when every typed word starts one of its words, in any order, without regard
// to letter case or accents: "app" finds "Apples, raw" and "Juice, apple", not "Pineapple";
// "creme" finds "Crème brûlée". Words are separated by anything that is not a letter or a
// digit (blanks, commas, parentheses, hyphens, slashes, ...); an apostrophe is dropped, so that
// "chefs" and "chef's" both find "Chef's salad".
//
// The matches are ranked: the names whose first word starts with the first typed word, then
// the foods the client ate most often lately (most meals first), then the rest by name in the
// order of the user's language; within each of the first two, the same order follows.
//
// The names are prepared once when they are set, so that each keystroke only filters them.
class FoodMatch
{
public:
    // The most matches a list shows.
    static constexpr int shownAtMost = 50;
    // The days whose meals count as eaten lately: today and the 89 days before it.
    static constexpr int recentDays = 90;
    static DateSpan recentSpan(QDate today);

    // The words of a text as they are compared: letter case and accents folded away.
    static QStringList words(QStringView text);

    // The names to find among, in any order.
    void setNames(const QStringList &names);
    // How many meals of each food the client ate lately (names as the meals spell them, letter
    // case aside); foods not listed count none. Empty for no client. It holds for the names set
    // later too.
    void setRecent(const std::vector<std::pair<QString, qint64>> &mealsPerFood);

    // The names that hold every word of typed, best first, at most `limit` of them. No word
    // typed, no match.
    QStringList matches(QStringView typed, int limit = shownAtMost) const;

private:
    struct Name
    {
        QString name;
        QString words;    // the folded words, each after a blank: " apples raw"
        int order = 0;    // its place among all names in the language's order
        qint64 meals = 0; // meals of the client lately
    };
    std::vector<Name> m_names;
    QHash<QString, qint64> m_recent; // meals lately by the name folded to one letter case
    QHash<QString, int> m_byCaseKey; // the place of each name, folded to one letter case
    QString m_language;              // the language the names are in order for
};
