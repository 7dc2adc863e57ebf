#include "Format.h"

#include "DateSpan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// ---- Patterns ---------------------------------------------------------------------------------

// One character of a pattern; literal when it was escaped with "\" or stood inside quotes.
struct PatternChar
{
    QChar c;
    bool literal = false;
};
using Pattern = std::vector<PatternChar>;

Pattern readPattern(QStringView text)
{
    Pattern pattern;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            pattern.push_back({c, true});
        else if (c != u'\\')
            pattern.push_back({c, false});
        else if (++i < text.size())
            pattern.push_back({text[i], true});
    }
    return pattern;
}

bool isPlain(const PatternChar &p, char16_t c)
{
    return !p.literal && p.c == QChar(c);
}

// A pattern is a date pattern when one of the letters d m y h n s (either case) stands in it
// outside quotes and escapes; every other pattern is a number pattern.
bool isDatePattern(const Pattern &pattern)
{
    return std::any_of(pattern.begin(), pattern.end(), [](const PatternChar &p) {
        return !p.literal && QStringView(u"dmyhns").contains(p.c.toLower());
    });
}

// ---- Decimal numbers --------------------------------------------------------------------------

// A number as decimal digits: 0.digits times ten to the power `point`, so 12.5 is "125" with
// point 2 and 0.05 is "5" with point -1. Zero has no digits.
struct Decimal
{
    bool negative = false;
    std::string digits; // no leading or trailing zeros
    int point = 0;      // how many digits stand before the decimal point

    bool isZero() const { return digits.empty(); }
    char digitAt(int index) const
    {
        return index >= 0 && index < static_cast<int>(digits.size()) ? digits[index] : '0';
    }
    void trimTrailingZeros()
    {
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
    }
};

Decimal fromUnsigned(quint64 magnitude, bool negative = false)
{
    std::array<char, 24> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude).ptr;
    Decimal d{negative, std::string(buffer.data(), end), static_cast<int>(end - buffer.data())};
    d.trimTrailingZeros();
    return d;
}

Decimal fromSigned(qint64 value)
{
    const quint64 magnitude = value < 0 ? 0 - static_cast<quint64>(value) : value;
    return fromUnsigned(magnitude, value < 0);
}

// Rounded to `decimals` places after the point, half away from zero.
Decimal rounded(Decimal d, int decimals);

// A binary fraction stands for a decimal: 100 x 0.0055 is stored as 0.54999999999999993 and
// means 0.55. Its shortest digits that read back as the same value, rounded to this many
// significant digits (but never into the whole part), give that decimal.
constexpr int meantDigits = 12;

template <typename Real>
Decimal fromReal(Real value)
{
    std::array<char, 64> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::scientific).ptr;
    const std::string_view text(buffer.data(), end);
    const auto e = text.find('e');
    Decimal d;
    d.negative = text.front() == '-';
    for (char c : text.substr(0, e))
        if (c >= '0' && c <= '9')
            d.digits += c;
    const std::string_view exponent = text.substr(text[e + 1] == '+' ? e + 2 : e + 1);
    std::from_chars(exponent.data(), exponent.data() + exponent.size(), d.point);
    d.point += 1;
    d.trimTrailingZeros();
    return rounded(d, std::max(meantDigits - d.point, 0));
}

Decimal rounded(Decimal d, int decimals)
{
    const int keep = d.point + decimals;
    if (keep >= static_cast<int>(d.digits.size()))
        return d;
    const bool up = keep >= 0 && d.digits[keep] >= '5';
    d.digits.resize(std::max(keep, 0));
    if (up) {
        while (!d.digits.empty() && d.digits.back() == '9')
            d.digits.pop_back();
        if (d.digits.empty()) { // 9.96 became 10.0
            d.digits.push_back('1');
            ++d.point;
        } else {
            ++d.digits.back();
        }
    }
    d.trimTrailingZeros();
    return d;
}

// ---- Number sections --------------------------------------------------------------------------

struct NumberSection
{
    QString prefix; // literal text before the first placeholder
    QString suffix; // literal text after it, including any between placeholders
    int minInteger = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool showsNumber = false;
    bool hasPoint = false;
    bool grouping = false;
    bool percent = false; // a "%" outside quotes shows the value times 100
    bool empty = true;    // nothing at all between the ";": another section stands in
};

// Takes a placeholder character into the section; false when the character is literal text.
bool takePlaceholder(NumberSection &s, QChar c)
{
    const bool afterPoint = s.hasPoint;
    if (c == u'0' || c == u'#') {
        const int required = c == u'0' ? 1 : 0;
        (afterPoint ? s.minDecimals : s.minInteger) += required;
        s.maxDecimals += afterPoint ? 1 : 0;
    } else if (c == u'.' && !afterPoint) {
        s.hasPoint = true;
    } else if (c == u',' && s.showsNumber && !afterPoint) {
        s.grouping = true;
    } else {
        return false;
    }
    s.showsNumber = true;
    return true;
}

NumberSection readSection(Pattern::const_iterator begin, Pattern::const_iterator end)
{
    NumberSection s;
    s.empty = begin == end;
    for (auto p = begin; p != end; ++p) {
        if (!p->literal && takePlaceholder(s, p->c))
            continue;
        (s.showsNumber ? s.suffix : s.prefix) += p->c;
        s.percent = s.percent || isPlain(*p, u'%');
    }
    return s;
}

// Positive, negative and zero sections; always at least one.
std::vector<NumberSection> readSections(const Pattern &pattern)
{
    std::vector<NumberSection> sections;
    auto begin = pattern.begin();
    for (auto p = begin; sections.size() < 3; ++p) {
        if (p != pattern.end() && !isPlain(*p, u';'))
            continue;
        sections.push_back(readSection(begin, p));
        if (p == pattern.end())
            break;
        begin = p + 1;
    }
    return sections;
}

bool hasSection(const std::vector<NumberSection> &sections, std::size_t index)
{
    return index < sections.size() && !sections[index].empty;
}

// The value as the section shows it: scaled for a percent sign and rounded.
Decimal shownBy(Decimal d, const NumberSection &s)
{
    if (s.percent && !d.isZero())
        d.point += 2;
    return rounded(d, s.maxDecimals);
}

QString integerDigits(const Decimal &d, const NumberSection &s)
{
    QString digits;
    for (int i = 0; i < d.point; ++i)
        digits += QLatin1Char(d.digitAt(i));
    digits = digits.rightJustified(s.minInteger, u'0');
    if (s.grouping) {
        for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
            digits.insert(at, u',');
    }
    return digits;
}

QString decimalDigits(const Decimal &d, const NumberSection &s)
{
    QString digits;
    for (int i = 0; i < s.maxDecimals; ++i)
        digits += QLatin1Char(d.digitAt(d.point + i));
    while (digits.size() > s.minDecimals && digits.endsWith(u'0'))
        digits.chop(1);
    return digits;
}

// `d` is already rounded for the section; its sign is written only when `withSign`.
QString render(const NumberSection &s, const Decimal &d, bool withSign)
{
    if (!s.showsNumber)
        return s.prefix + s.suffix;
    QString number = integerDigits(d, s);
    if (s.hasPoint)
        number += u'.' + decimalDigits(d, s);
    return (withSign ? QStringLiteral("-") : QString()) + s.prefix + number + s.suffix;
}

// Every digit, a point only when there is a fraction, never an exponent: "2.5", "100", "-3".
QString generalNumber(const Decimal &d)
{
    NumberSection general;
    general.showsNumber = true;
    general.minInteger = 1;
    general.maxDecimals = std::max(0, static_cast<int>(d.digits.size()) - d.point);
    general.hasPoint = general.maxDecimals > 0;
    return render(general, d, d.negative && !d.isZero());
}

QString formatNumber(const Decimal &value, const Pattern &pattern)
{
    const std::vector<NumberSection> sections = readSections(pattern);
    const NumberSection &positive = sections.front();
    if (positive.empty)
        return generalNumber(value);
    // Only an exact zero takes the zero section; 0.04 with "0.0;-0.0;\ " is "0.0".
    if (value.isZero())
        return render(hasSection(sections, 2) ? sections[2] : positive, Decimal{}, false);
    if (value.negative && hasSection(sections, 1))
        return render(sections[1], shownBy(value, sections[1]), false);
    const Decimal shown = shownBy(value, positive);
    return render(positive, shown, value.negative && !shown.isZero());
}

template <typename Real>
QString formatReal(Real value, QStringView pattern)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    return formatNumber(fromReal(value), readPattern(pattern));
}

// ---- Dates ------------------------------------------------------------------------------------

constexpr std::array<const char16_t *, 7> dayNames{
    u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday", u"Sunday"};
constexpr std::array<const char16_t *, 12> monthNames{
    u"January", u"February", u"March",     u"April",   u"May",      u"June",
    u"July",    u"August",   u"September", u"October", u"November", u"December"};

struct Moment
{
    QDate date;
    QTime time;
};

// The text of a run of one date letter, and how many letters of the run it used.
struct Token
{
    QString text;
    qsizetype used = 1;
};

QString padded(int value, int width)
{
    return QString::number(value).rightJustified(width, u'0');
}

// d, dd, ddd, dddd for the day; the same shape serves m, mm, mmm, mmmm for the month.
Token nameToken(qsizetype run, int number, const char16_t *name)
{
    switch (std::min<qsizetype>(run, 4)) {
    case 1:
        return {QString::number(number), 1};
    case 2:
        return {padded(number, 2), 2};
    case 3:
        return {QString::fromUtf16(name, 3), 3};
    default:
        return {QString::fromUtf16(name), 4};
    }
}

Token yearToken(qsizetype run, QDate date)
{
    if (run >= 4)
        return {padded(date.year(), 4), 4};
    if (run >= 2)
        return {padded(date.year() % 100, 2), 2};
    return {QString::number(date.dayOfYear()), 1};
}

Token clockToken(qsizetype run, int value)
{
    return run >= 2 ? Token{padded(value, 2), 2} : Token{QString::number(value), 1};
}

bool matchesAt(const Pattern &pattern, std::size_t at, QStringView word)
{
    if (pattern.size() - at < static_cast<std::size_t>(word.size()))
        return false;
    for (qsizetype k = 0; k < word.size(); ++k) {
        const PatternChar &p = pattern[at + k];
        if (p.literal || p.c.toLower() != word[k])
            return false;
    }
    return true;
}

// The length of an AM/PM, am/pm, A/P or a/p marker starting at `at`, or 0.
qsizetype markerLength(const Pattern &pattern, std::size_t at)
{
    if (matchesAt(pattern, at, u"am/pm"))
        return 5;
    return matchesAt(pattern, at, u"a/p") ? 3 : 0;
}

bool usesTwelveHourClock(const Pattern &pattern)
{
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (markerLength(pattern, at) > 0)
            return true;
    }
    return false;
}

Token markerToken(QChar first, qsizetype length, QTime time)
{
    const bool pm = time.hour() >= 12;
    const QString text = length == 5 ? (pm ? QStringLiteral("PM") : QStringLiteral("AM"))
                                     : (pm ? QStringLiteral("P") : QStringLiteral("A"));
    return {first.isUpper() ? text : text.toLower(), length};
}

qsizetype runLength(const Pattern &pattern, std::size_t at)
{
    const QChar letter = pattern[at].c.toLower();
    std::size_t end = at;
    while (end < pattern.size() && !pattern[end].literal && pattern[end].c.toLower() == letter)
        ++end;
    return static_cast<qsizetype>(end - at);
}

// The token starting at `at`; `minutesHere` when an "m" there means minutes (it follows an hour).
Token momentToken(const Pattern &pattern, std::size_t at, const Moment &m, bool twelveHour,
                  bool minutesHere)
{
    const PatternChar &p = pattern[at];
    if (p.literal)
        return {QString(p.c)};
    if (const qsizetype marker = markerLength(pattern, at))
        return markerToken(p.c, marker, m.time);
    const qsizetype run = runLength(pattern, at);
    const int hour = twelveHour ? (m.time.hour() + 11) % 12 + 1 : m.time.hour();
    switch (p.c.toLower().unicode()) {
    case u'd':
        return nameToken(run, m.date.day(), dayNames[m.date.dayOfWeek() - 1]);
    case u'm':
        if (minutesHere && run <= 2)
            return clockToken(run, m.time.minute());
        return nameToken(run, m.date.month(), monthNames[m.date.month() - 1]);
    case u'y':
        return yearToken(run, m.date);
    case u'h':
        return clockToken(run, hour);
    case u'n':
        return clockToken(run, m.time.minute());
    case u's':
        return clockToken(run, m.time.second());
    default:
        return {QString(p.c)};
    }
}

QString formatMoment(const Moment &m, const Pattern &pattern)
{
    const bool twelveHour = usesTwelveHourClock(pattern);
    QString text;
    bool minutesHere = false;
    for (std::size_t at = 0; at < pattern.size();) {
        const PatternChar &p = pattern[at];
        const Token token = momentToken(pattern, at, m, twelveHour, minutesHere);
        if (!isPlain(p, u':'))
            minutesHere = !p.literal && p.c.toLower() == u'h';
        text += token.text;
        at += token.used;
    }
    return text;
}

constexpr QStringView generalDate = u"m/d/yyyy";
constexpr QStringView generalDateTime = u"m/d/yyyy h:nn:ss AM/PM";

// "yyyy/MM/dd", "yyyy-MM-dd" or "yyyy-MM-dd HH:mm:ss", read as a wall-clock moment.
std::optional<Moment> readMoment(const QString &text)
{
    for (const QString &format : {QStringLiteral("yyyy/MM/dd"), QStringLiteral("yyyy-MM-dd")}) {
        const QDate date = QDate::fromString(text, format);
        if (date.isValid())
            return Moment{date, QTime(0, 0)};
    }
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
    if (text.size() == 19 && text[10] == u' ' && date.isValid() && time.isValid())
        return Moment{date, time};
    return std::nullopt;
}

// A number written in the C locale; whole numbers are read exactly.
std::optional<Decimal> readNumber(const QString &text)
{
    bool ok = false;
    const qint64 whole = text.toLongLong(&ok);
    if (ok)
        return fromSigned(whole);
    const double real = text.toDouble(&ok);
    if (ok && std::isfinite(real))
        return fromReal(real);
    return std::nullopt;
}

QString formatText(const QString &text, QStringView patternText)
{
    if (patternText.isEmpty())
        return text;
    const Pattern pattern = readPattern(patternText);
    if (isDatePattern(pattern)) {
        const std::optional<Moment> moment = readMoment(text);
        return moment ? formatMoment(*moment, pattern) : text;
    }
    const std::optional<Decimal> number = readNumber(text);
    return number ? formatNumber(*number, pattern) : text;
}

} // namespace

namespace Format {

QString number(double value, QStringView pattern)
{
    return formatReal(value, pattern);
}

QString number(float value, QStringView pattern)
{
    return formatReal(value, pattern);
}

QString number(qint64 value, QStringView pattern)
{
    return Format::value(QVariant(value), pattern);
}

QString dateTime(const QDateTime &value, QStringView pattern)
{
    if (!value.isValid())
        return {};
    const Moment moment{value.date(), value.time()};
    return formatMoment(moment, readPattern(pattern.isEmpty() ? generalDateTime : pattern));
}

QString date(QDate value, QStringView pattern)
{
    if (!value.isValid())
        return {};
    const Moment moment{value, QTime(0, 0)};
    return formatMoment(moment, readPattern(pattern.isEmpty() ? generalDate : pattern));
}

QString value(const QVariant &data, QStringView pattern)
{
    if (data.isNull())
        return {};
    switch (data.metaType().id()) {
    case QMetaType::Double:
        return number(data.toDouble(), pattern);
    case QMetaType::Float:
        return number(data.toFloat(), pattern);
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return formatNumber(fromSigned(data.toLongLong()), readPattern(pattern));
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return formatNumber(fromUnsigned(data.toULongLong()), readPattern(pattern));
    case QMetaType::QDate:
        return date(data.toDate(), pattern);
    case QMetaType::QDateTime:
        return dateTime(data.toDateTime(), pattern);
    case QMetaType::QString:
        return formatText(data.toString(), pattern);
    default:
        return data.toString();
    }
}

} // namespace Format
