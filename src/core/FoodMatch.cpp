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
    // Most names are plain ASCII, which needs no decomposing: the names are many, and folded
    // when an editor first opens.
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    // Decomposed, "é" is "e" and a combining accent, which is dropped.
    const QString decomposed =
        ascii ? QString() : text.toString().normalized(QString::NormalizationForm_KD).toCaseFolded();
    const QStringView source = ascii ? text : QStringView(decomposed);
    QString folded(2 * source.size() + 1, Qt::Uninitialized);
    QChar *out = folded.data();
    bool inWord = false;
    for (const QChar c : source) {
        if (isApostrophe(c) || (!ascii && isMark(c)))
            continue;
        const char16_t lower = ascii && c >= u'A' && c <= u'Z' ? char16_t(c.unicode() + (u'a' - u'A')) : c.unicode();
        if (ascii ? (lower >= u'a' && lower <= u'z') || (lower >= u'0' && lower <= u'9') : c.isLetterOrNumber()) {
            if (!inWord)
                *out++ = u' ';
            *out++ = lower;
            inWord = true;
        } else {
            inWord = false;
        }
    }
    folded.truncate(out - folded.constData());
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
    // An editor opening again mostly finds the names it had: they are prepared already.
    if (m_language == QLocale().name() && m_names.size() == size_t(names.size())
        && std::equal(m_names.begin(), m_names.end(), names.begin(),
                      [](const Name &name, const QString &given) { return name.name == given; }))
        return;
    m_language = QLocale().name();
    m_names.clear();
    m_names.reserve(size_t(names.size()));
    m_byCaseKey.clear();
    m_byCaseKey.reserve(names.size());
    // Sort keys of the names in one letter case: the same order where the collator ignores case,
    // and in the "C" language (whose keys are the bytes of the text) letter case aside too.
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(names.size()));
    for (const QString &name : names) {
        const QString key = caseKey(name);
        m_byCaseKey.insert(key, int(m_names.size()));
        m_names.push_back({name, foldedWords(name), 0, m_recent.value(key)});
        keys.push_back(collator.sortKey(key));
    }

    // The names in the language's order, letter case aside, as the lists of names are sorted.
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
        name.meals = 0;
    for (auto food = m_recent.cbegin(); food != m_recent.cend(); ++food) {
        if (const auto name = m_byCaseKey.constFind(food.key()); name != m_byCaseKey.cend())
            m_names[size_t(*name)].meals = food.value();
    }
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
