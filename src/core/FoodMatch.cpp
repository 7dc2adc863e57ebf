#include "FoodMatch.h"

#include <QCollator>
#include <QLocale>
#include <QStringMatcher>

#include <algorithm>
#include <numeric>

namespace {

bool isMark(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
           || category == QChar::Mark_Enclosing;
}

bool isApostrophe(QChar c)
{
    return c == u'\'' || c == u'\u2019' || c == u'\u02BC';
}

// The folded words of a text, each after a blank: "Crème brûlée (1/2 cup)" gives
// " creme brulee 1 2 cup".
QString foldedWords(QStringView text)
{
    // Decomposed, "é" is "e" and a combining accent, which is dropped.
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD).toCaseFolded();
    QString folded;
    folded.reserve(decomposed.size() + 1);
    bool inWord = false;
    for (const QChar c : decomposed) {
        if (isMark(c) || isApostrophe(c))
            continue;
        if (c.isLetterOrNumber()) {
            if (!inWord)
                folded += u' ';
            folded += c;
            inWord = true;
        } else {
            inWord = false;
        }
    }
    return folded;
}

QString caseKey(const QString &name)
{
    return name.toCaseFolded();
}

} // namespace

DateSpan FoodMatch::recentSpan(QDate today)
{
    return DateSpan::selectedDays(today.addDays(-(recentDays - 1)), today);
}

QStringList FoodMatch::words(QStringView text)
{
    return foldedWords(text).split(u' ', Qt::SkipEmptyParts);
}

void FoodMatch::setNames(const QStringList &names)
{
    m_names.clear();
    m_names.reserve(size_t(names.size()));
    for (const QString &name : names)
        m_names.push_back({name, foldedWords(name), 0, m_recent.value(caseKey(name))});

    // The names in the language's order, letter case aside, as the lists of names are sorted.
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(m_names.size());
    // Keys of the names in one letter case: the same order where the collator ignores case, and
    // in the "C" language (whose keys are the bytes of the text) letter case aside too.
    for (const Name &name : m_names)
        keys.push_back(collator.sortKey(caseKey(name.name)));
    std::vector<int> sorted(m_names.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&keys](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    for (size_t place = 0; place < sorted.size(); ++place)
        m_names[size_t(sorted[place])].order = int(place);
}

void FoodMatch::setRecent(const std::vector<std::pair<QString, qint64>> &mealsPerFood)
{
    m_recent.clear();
    for (const auto &[food, count] : mealsPerFood)
        m_recent[caseKey(food)] += count;
    for (Name &name : m_names)
        name.meals = m_recent.value(caseKey(name.name));
}

QStringList FoodMatch::matches(QStringView typed, int limit) const
{
    const QStringList typedWords = words(typed);
    if (typedWords.isEmpty() || limit <= 0)
        return {};
    // A typed word matches at the start of a word: after the blank before it.
    std::vector<QStringMatcher> starts;
    for (const QString &word : typedWords)
        starts.emplace_back(u' ' + word);
    const QString firstStart = u' ' + typedWords.constFirst();

    struct Found
    {
        const Name *name;
        bool startsWithFirst;
    };
    std::vector<Found> found;
    for (const Name &name : m_names) {
        const bool all = std::all_of(starts.begin(), starts.end(), [&name](const QStringMatcher &start) {
            return start.indexIn(QStringView(name.words)) >= 0;
        });
        if (all)
            found.push_back({&name, name.words.startsWith(firstStart)});
    }

    const auto better = [](const Found &a, const Found &b) {
        if (a.startsWithFirst != b.startsWithFirst)
            return a.startsWithFirst;
        if (a.name->meals != b.name->meals)
            return a.name->meals > b.name->meals;
        return a.name->order < b.name->order;
    };
    const auto shown = found.begin() + std::min<qsizetype>(limit, qsizetype(found.size()));
    std::partial_sort(found.begin(), shown, found.end(), better);
    QStringList names;
    names.reserve(shown - found.begin());
    for (auto it = found.begin(); it != shown; ++it)
        names << it->name->name;
    return names;
}
