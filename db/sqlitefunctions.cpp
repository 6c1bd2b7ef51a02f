#include "db/sqlitefunctions.h"

#include "db/chinesecollation.h"

#include <QByteArray>
#include <QVarLengthArray>
#include <QVector>

#include <sqlite3.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace SqliteFunctions {

namespace {

// Rounds half away from zero, as SQL Server rounds decimals. The nudge of a
// few ulps puts values such as 2.675 (2.67499999... in binary) back on the
// decimal tie they were written as.
double powerOfTen(int n)
{
    static const double table[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19,
                                   1e20, 1e21, 1e22, 1e23, 1e24, 1e25, 1e26, 1e27, 1e28, 1e29,
                                   1e30, 1e31, 1e32, 1e33, 1e34, 1e35, 1e36, 1e37, 1e38};
    return n >= 0 && n <= 38 ? table[n] : std::pow(10.0, n);
}

double roundHalfAway(double v, int decimals)
{
    const double scale = powerOfTen(decimals);
    double x = v * scale;
    x += (x >= 0 ? 1.0 : -1.0) * std::fabs(x) * 8 * DBL_EPSILON;
    x = std::round(x);
    const double r = x / scale;
    return r == 0.0 ? 0.0 : r; // no "-0.00"
}

// Text of a number as SQL Server prints it: integers as they are, decimal
// amounts with two places, as a decimal(18,2) column prints.
int formatInteger(long long value, char *buf)
{
    char digits[24];
    int n = 0;
    unsigned long long u = value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
    do {
        digits[n++] = char('0' + u % 10);
        u /= 10;
    } while (u);
    int length = 0;
    if (value < 0) {
        buf[length++] = '-';
    }
    while (n) {
        buf[length++] = digits[--n];
    }
    buf[length] = 0;
    return length;
}

// A report prints this for every row, so no printf for the usual amounts.
int formatNumber(sqlite3_value *v, char *buf, size_t size)
{
    if (sqlite3_value_type(v) == SQLITE_INTEGER) {
        return formatInteger(sqlite3_value_int64(v), buf);
    }
    const double cents = roundHalfAway(sqlite3_value_double(v), 2) * 100.0;
    if (std::fabs(cents) < 1e15) {
        const long long c = std::llround(cents);
        const unsigned long long a = c < 0 ? 0ULL - static_cast<unsigned long long>(c) : c;
        int length = 0;
        if (c < 0) {
            buf[length++] = '-';
        }
        length += formatInteger(static_cast<long long>(a / 100), buf + length);
        buf[length++] = '.';
        buf[length++] = char('0' + a / 10 % 10);
        buf[length++] = char('0' + a % 10);
        buf[length] = 0;
        return length;
    }
    return std::snprintf(buf, size, "%.2f", roundHalfAway(sqlite3_value_double(v), 2));
}

// Byte length of the first `chars` characters of UTF-8 text.
int utf8Prefix(const unsigned char *s, int bytes, int chars)
{
    int i = 0;
    while (i < bytes && chars > 0) {
        ++i;
        while (i < bytes && (s[i] & 0xC0) == 0x80) {
            ++i;
        }
        --chars;
    }
    return i;
}

void resultText(sqlite3_context *ctx, const char *text, int bytes, int maxChars)
{
    if (maxChars >= 0 && bytes > maxChars) {
        bytes = utf8Prefix(reinterpret_cast<const unsigned char *>(text), bytes, maxChars);
    }
    sqlite3_result_text(ctx, text, bytes, SQLITE_TRANSIENT);
}

struct DateTime
{
    int year = 1900, month = 1, day = 1, hour = 0, minute = 0, second = 0, msec = 0;
    bool hasTime = false;
};

bool readDigits(const char *s, int len, int &pos, int minCount, int maxCount, int *value)
{
    int v = 0;
    int count = 0;
    while (pos < len && count < maxCount && s[pos] >= '0' && s[pos] <= '9') {
        v = v * 10 + (s[pos] - '0');
        ++pos;
        ++count;
    }
    *value = v;
    return count >= minCount;
}

bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Days since 1970-01-01 of a civil date (H. Hinnant's algorithm).
long long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, DateTime *dt)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    dt->day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    dt->month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    dt->year = static_cast<int>(yoe + era * 400 + (dt->month <= 2));
}

// Reads the stored date forms: "yyyy-MM-dd" with an optional time
// "hh:mm[:ss[.fff]]" after a blank or "T". With loose set it also takes what
// SQL Server takes in datediff: "yyyyMMdd", "/" and "." as separators, one-
// digit months and days, and the empty text for 1900-01-01.
bool parseDateTime(const char *s, int len, bool loose, DateTime *dt)
{
    while (len > 0 && (s[len - 1] == ' ' || s[len - 1] == '\t')) {
        --len;
    }
    int pos = 0;
    if (loose) {
        while (pos < len && (s[pos] == ' ' || s[pos] == '\t')) {
            ++pos;
        }
        if (pos == len) {
            *dt = DateTime();
            return true;
        }
    }
    *dt = DateTime();
    if (!readDigits(s, len, pos, 4, 4, &dt->year)) {
        return false;
    }
    if (loose && pos < len && s[pos] >= '0' && s[pos] <= '9') {
        if (!readDigits(s, len, pos, 2, 2, &dt->month) || !readDigits(s, len, pos, 2, 2, &dt->day)) {
            return false;
        }
    } else {
        const char sep = pos < len ? s[pos] : 0;
        if (sep != '-' && !(loose && (sep == '/' || sep == '.'))) {
            return false;
        }
        ++pos;
        const int minDigits = loose ? 1 : 2;
        if (!readDigits(s, len, pos, minDigits, 2, &dt->month) || pos >= len || s[pos] != sep) {
            return false;
        }
        ++pos;
        if (!readDigits(s, len, pos, minDigits, 2, &dt->day)) {
            return false;
        }
    }
    if (dt->month < 1 || dt->month > 12 || dt->day < 1 || dt->day > daysInMonth(dt->year, dt->month)) {
        return false;
    }
    if (pos == len) {
        return true;
    }
    if (s[pos] != ' ' && s[pos] != 'T') {
        return false;
    }
    ++pos;
    dt->hasTime = true;
    if (!readDigits(s, len, pos, 1, 2, &dt->hour) || pos >= len || s[pos] != ':') {
        return false;
    }
    ++pos;
    if (!readDigits(s, len, pos, 2, 2, &dt->minute)) {
        return false;
    }
    if (pos < len && s[pos] == ':') {
        ++pos;
        if (!readDigits(s, len, pos, 2, 2, &dt->second)) {
            return false;
        }
        if (pos < len && s[pos] == '.') {
            ++pos;
            int fraction = 0;
            const int start = pos;
            if (!readDigits(s, len, pos, 1, 9, &fraction)) {
                return false;
            }
            int digits = pos - start;
            while (digits > 3) {
                fraction /= 10;
                --digits;
            }
            while (digits < 3) {
                fraction *= 10;
                ++digits;
            }
            dt->msec = fraction;
        }
    }
    return pos == len && dt->hour < 24 && dt->minute < 60 && dt->second < 60;
}

// A date argument of datediff: text as above; a number counts days from
// 1900-01-01, as SQL Server reads a number given for a datetime.
bool dateArgument(sqlite3_value *v, DateTime *dt)
{
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        const double value = sqlite3_value_double(v);
        const double whole = std::floor(value);
        civilFromDays(daysFromCivil(1900, 1, 1) + static_cast<long long>(whole), dt);
        long long seconds = std::llround((value - whole) * 86400.0);
        dt->hour = static_cast<int>(seconds / 3600);
        dt->minute = static_cast<int>(seconds / 60 % 60);
        dt->second = static_cast<int>(seconds % 60);
        dt->hasTime = true;
        return true;
    }
    const char *s = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return s && parseDateTime(s, sqlite3_value_bytes(v), true, dt);
}

// ---------------------------------------------------------------------------
// Numbers meeting texts

// A number of either kind, as SQLite holds it.
struct Number
{
    bool integer = true;
    sqlite3_int64 i = 0;
    double d = 0.0;

    double value() const { return integer ? static_cast<double>(i) : d; }
};

Number numberOf(sqlite3_value *v)
{
    Number n;
    n.integer = sqlite3_value_type(v) == SQLITE_INTEGER;
    if (n.integer) {
        n.i = sqlite3_value_int64(v);
    } else {
        n.d = sqlite3_value_double(v);
    }
    return n;
}

void trimBlanks(const char **s, int *len)
{
    while (*len > 0 && (**s == ' ' || **s == '\t')) {
        ++*s;
        --*len;
    }
    while (*len > 0 && ((*s)[*len - 1] == ' ' || (*s)[*len - 1] == '\t')) {
        --*len;
    }
}

// Text to a number, as SQL Server converts varchar to int (blanks around, a
// sign, digits; a blank text is 0) or to decimal (digits with a point; a
// blank text is refused). Both refuse exponents.
bool textToNumber(const char *s, int len, bool integer, Number *out)
{
    trimBlanks(&s, &len);
    out->integer = integer;
    if (len == 0) {
        out->i = 0;
        out->d = 0.0;
        return integer;
    }
    int pos = 0;
    const bool negative = s[0] == '-';
    if (s[0] == '+' || s[0] == '-') {
        ++pos;
    }
    if (integer) {
        const sqlite3_int64 limit = std::numeric_limits<sqlite3_int64>::max();
        sqlite3_int64 value = 0;
        const int start = pos;
        for (; pos < len && s[pos] >= '0' && s[pos] <= '9'; ++pos) {
            const int digit = s[pos] - '0';
            if (value > (limit - digit) / 10) {
                return false;
            }
            value = value * 10 + digit;
        }
        out->i = negative ? -value : value;
        return pos > start && pos == len;
    }
    int digits = 0;
    for (; pos < len && s[pos] >= '0' && s[pos] <= '9'; ++pos) {
        ++digits;
    }
    if (pos < len && s[pos] == '.') {
        for (++pos; pos < len && s[pos] >= '0' && s[pos] <= '9'; ++pos) {
            ++digits;
        }
    }
    if (digits == 0 || pos != len) {
        return false;
    }
    out->d = std::strtod(std::string(s, static_cast<size_t>(len)).c_str(), nullptr);
    return true;
}

void conversionError(sqlite3_context *ctx, sqlite3_value *text, bool integer)
{
    if (!integer) {
        sqlite3_result_error(ctx, "Error converting data type varchar to numeric.", -1);
        return;
    }
    const QByteArray message = "Conversion failed when converting the varchar value '"
                               + QByteArray(reinterpret_cast<const char *>(sqlite3_value_text(text)),
                                            sqlite3_value_bytes(text))
                               + "' to data type int.";
    sqlite3_result_error(ctx, message.constData(), message.size());
}

void resultSum(sqlite3_context *ctx, const Number &a, const Number &b)
{
    if (a.integer && b.integer) {
        const sqlite3_int64 max = std::numeric_limits<sqlite3_int64>::max();
        const sqlite3_int64 min = std::numeric_limits<sqlite3_int64>::min();
        if (!((b.i > 0 && a.i > max - b.i) || (b.i < 0 && a.i < min - b.i))) {
            sqlite3_result_int64(ctx, a.i + b.i);
            return;
        }
    }
    sqlite3_result_double(ctx, a.value() + b.value());
}

// jxc_add(a, b): SQL Server's "+": texts join, numbers add, NULL wins; a text
// beside a number is converted to the number's type, which ranks higher
// ("1+'2'" is 3, "'x'+1" an error).
void fnAdd(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int ta = sqlite3_value_type(argv[0]);
    const int tb = sqlite3_value_type(argv[1]);
    if (ta == SQLITE_NULL || tb == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool numA = ta == SQLITE_INTEGER || ta == SQLITE_FLOAT;
    const bool numB = tb == SQLITE_INTEGER || tb == SQLITE_FLOAT;
    if (numA && numB) {
        resultSum(ctx, numberOf(argv[0]), numberOf(argv[1]));
        return;
    }
    if (numA || numB) {
        const Number number = numberOf(argv[numA ? 0 : 1]);
        sqlite3_value *text = argv[numA ? 1 : 0];
        Number converted;
        if (!textToNumber(reinterpret_cast<const char *>(sqlite3_value_text(text)), sqlite3_value_bytes(text),
                          number.integer, &converted)) {
            conversionError(ctx, text, number.integer);
            return;
        }
        if (numA) {
            resultSum(ctx, number, converted);
        } else {
            resultSum(ctx, converted, number);
        }
        return;
    }
    const int la = sqlite3_value_bytes(argv[0]);
    const int lb = sqlite3_value_bytes(argv[1]);
    char *joined = static_cast<char *>(sqlite3_malloc64(static_cast<sqlite3_uint64>(la) + lb + 1));
    if (!joined) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    if (la > 0) {
        std::memcpy(joined, sqlite3_value_text(argv[0]), la);
    }
    if (lb > 0) {
        std::memcpy(joined + la, sqlite3_value_text(argv[1]), lb);
    }
    joined[la + lb] = 0;
    sqlite3_result_text(ctx, joined, la + lb, sqlite3_free);
}

// jxc_divisor(x): the right side of "/" and "%". SQLite divides by zero to
// NULL; SQL Server stops the statement (error 8134), and so does this.
void fnDivisor(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    static const char divideByZero[] = "Divide by zero error encountered.";
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        if (sqlite3_value_double(argv[0]) == 0.0) {
            sqlite3_result_error(ctx, divideByZero, -1);
        } else {
            sqlite3_result_value(ctx, argv[0]);
        }
        return;
    default:
        break;
    }
    const char *s = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int len = sqlite3_value_bytes(argv[0]);
    Number n;
    if (!textToNumber(s, len, true, &n) && !textToNumber(s, len, false, &n)) {
        conversionError(ctx, argv[0], true);
    } else if (n.value() == 0.0) {
        sqlite3_result_error(ctx, divideByZero, -1);
    } else if (n.integer) {
        sqlite3_result_int64(ctx, n.i);
    } else {
        sqlite3_result_double(ctx, n.d);
    }
}

// ---------------------------------------------------------------------------
// LIKE as SQL Server matches: "%", "_", classes "[a-f]" and "[^0-9]", the
// escape character before any of them, characters equal as the collation
// holds them (case and width folded), and trailing blanks of the text
// matched do not count.

struct LikeItem
{
    enum Kind { Char, One, Any, Class };
    Kind kind = Char;
    uint c = 0;           // Char: the folded character
    int first = 0;        // Class: its entries in LikePattern::entries
    int count = 0;
    bool negated = false;
};

struct ClassEntry
{
    uint low = 0;  // folded; a single character when high == 0
    uint high = 0;
};

struct LikePattern
{
    QByteArray source;
    QByteArray escape;
    bool valid = true; // false for a pattern that matches nothing ("[abc")
    QVector<LikeItem> items;
    QVector<ClassEntry> entries;
};

QVector<uint> codePoints(const unsigned char *s, int len)
{
    QVector<uint> out;
    out.reserve(len);
    int pos = 0;
    while (pos < len) {
        out.append(ChineseCollation::nextCodePoint(s, len, &pos));
    }
    return out;
}

LikePattern *compileLike(const QByteArray &source, const QByteArray &escapeText)
{
    auto *pattern = new LikePattern;
    pattern->source = source;
    pattern->escape = escapeText;
    const QVector<uint> p = codePoints(reinterpret_cast<const unsigned char *>(source.constData()), source.size());
    const QVector<uint> e = codePoints(reinterpret_cast<const unsigned char *>(escapeText.constData()),
                                       escapeText.size());
    const bool hasEscape = !e.isEmpty();
    const uint escape = hasEscape ? e.first() : 0;
    const int n = p.size();
    // The character at *k, taken literally after the escape; false at the end.
    const auto literal = [&](int *k, uint *c) {
        if (hasEscape && p.at(*k) == escape) {
            ++*k;
        }
        if (*k >= n) {
            return false;
        }
        *c = ChineseCollation::fold(p.at(*k));
        ++*k;
        return true;
    };
    int k = 0;
    while (k < n) {
        LikeItem item;
        const uint c = p.at(k);
        if (hasEscape && c == escape) {
            if (!literal(&k, &item.c)) {
                pattern->valid = false; // the escape character last
                break;
            }
        } else if (c == '%') {
            ++k;
            item.kind = LikeItem::Any;
            if (!pattern->items.isEmpty() && pattern->items.last().kind == LikeItem::Any) {
                continue;
            }
        } else if (c == '_') {
            ++k;
            item.kind = LikeItem::One;
        } else if (c == '[') {
            ++k;
            item.kind = LikeItem::Class;
            item.first = pattern->entries.size();
            if (k < n && p.at(k) == '^') {
                item.negated = true;
                ++k;
            }
            while (k < n && p.at(k) != ']') {
                ClassEntry entry;
                if (!literal(&k, &entry.low)) {
                    break;
                }
                if (k + 1 < n && p.at(k) == '-' && p.at(k + 1) != ']') {
                    ++k;
                    if (!literal(&k, &entry.high)) {
                        break;
                    }
                }
                pattern->entries.append(entry);
            }
            if (k >= n) {
                pattern->valid = false; // "[" without "]"
                break;
            }
            ++k;
            item.count = pattern->entries.size() - item.first;
        } else {
            ++k;
            item.c = ChineseCollation::fold(c);
        }
        pattern->items.append(item);
    }
    return pattern;
}

bool matchesItem(const LikePattern &pattern, const LikeItem &item, uint c)
{
    switch (item.kind) {
    case LikeItem::Char:
        return item.c == c;
    case LikeItem::One:
        return true;
    case LikeItem::Class:
        for (int i = item.first; i < item.first + item.count; ++i) {
            const ClassEntry &entry = pattern.entries.at(i);
            bool hit = entry.low == c;
            if (!hit && entry.high != 0) {
                const uint w = ChineseCollation::primaryWeight(c);
                hit = ChineseCollation::primaryWeight(entry.low) <= w
                      && w <= ChineseCollation::primaryWeight(entry.high);
            }
            if (hit) {
                return !item.negated;
            }
        }
        return item.negated;
    case LikeItem::Any:
        break;
    }
    return false;
}

// Each item but "%" takes one character, so the usual walk that goes back
// to the last "%" on a mismatch finds every match.
bool likeMatches(const LikePattern &pattern, const uint *text, int length)
{
    const QVector<LikeItem> &items = pattern.items;
    const int n = items.size();
    int t = 0;
    int p = 0;
    int star = -1;
    int starText = 0;
    while (t < length) {
        if (p < n && items.at(p).kind == LikeItem::Any) {
            star = p++;
            starText = t;
        } else if (p < n && matchesItem(pattern, items.at(p), text[t])) {
            ++p;
            ++t;
        } else if (star >= 0) {
            p = star + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < n && items.at(p).kind == LikeItem::Any) {
        ++p;
    }
    return p == n;
}

void deletePattern(void *pattern)
{
    delete static_cast<LikePattern *>(pattern);
}

// The folded characters of the text LIKE looks at; a number as SQL Server
// prints it. Searches run this for every row: no allocation for the usual
// short texts.
using LikeText = QVarLengthArray<uint, 256>;

void likeText(sqlite3_value *v, LikeText *text)
{
    const int type = sqlite3_value_type(v);
    char buf[64];
    const unsigned char *s;
    int len;
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        len = formatNumber(v, buf, sizeof buf);
        s = reinterpret_cast<const unsigned char *>(buf);
    } else {
        s = sqlite3_value_text(v);
        len = sqlite3_value_bytes(v);
    }
    int pos = 0;
    while (pos < len) {
        text->append(ChineseCollation::fold(ChineseCollation::nextCodePoint(s, len, &pos)));
    }
}

// like(pattern, text[, escape]): SQLite runs "text LIKE pattern ESCAPE e"
// through the function of this name.
void fnLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    // A statement's pattern is usually the same on every row: compiled once
    // and kept with the statement, and compared without a copy on each row.
    const char *source = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int sourceBytes = sqlite3_value_bytes(argv[0]);
    const char *escape = argc == 3 ? reinterpret_cast<const char *>(sqlite3_value_text(argv[2])) : "";
    const int escapeBytes = argc == 3 ? sqlite3_value_bytes(argv[2]) : 0;
    auto *pattern = static_cast<LikePattern *>(sqlite3_get_auxdata(ctx, 0));
    const auto same = [](const QByteArray &kept, const char *text, int bytes) {
        return kept.size() == bytes && std::memcmp(kept.constData(), text, static_cast<size_t>(bytes)) == 0;
    };
    std::unique_ptr<LikePattern> compiled;
    if (!pattern || !same(pattern->source, source, sourceBytes) || !same(pattern->escape, escape, escapeBytes)) {
        const QByteArray escapeText(escape, escapeBytes);
        if (argc == 3 && QString::fromUtf8(escapeText).toUcs4().size() != 1) {
            const QByteArray message = "The invalid escape character \"" + escapeText
                                       + "\" was specified in a LIKE predicate.";
            sqlite3_result_error(ctx, message.constData(), message.size());
            return;
        }
        compiled.reset(compileLike(QByteArray(source, sourceBytes), escapeText));
        pattern = compiled.get();
    }
    bool matched = false;
    if (pattern->valid) {
        LikeText text;
        likeText(argv[1], &text);
        int trimmed = text.size();
        while (trimmed > 0 && text.at(trimmed - 1) == ' ') {
            --trimmed;
        }
        matched = likeMatches(*pattern, text.constData(), text.size())
                  || (trimmed < text.size() && likeMatches(*pattern, text.constData(), trimmed));
    }
    sqlite3_result_int(ctx, matched ? 1 : 0);
    if (compiled) {
        sqlite3_set_auxdata(ctx, 0, compiled.release(), deletePattern);
    }
}

// jxc_varchar(x, n): cast(x as varchar(n)); n < 0 for varchar(max).
void fnVarchar(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int length = sqlite3_value_int(argv[1]);
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
        char buf[64];
        const int bytes = formatNumber(argv[0], buf, sizeof buf);
        resultText(ctx, buf, bytes, length);
        return;
    }
    default:
        resultText(ctx, reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                   sqlite3_value_bytes(argv[0]), length);
        return;
    }
}

// Ten characters "dddd-dd-dd".
bool isIsoDay(const char *s, int bytes)
{
    if (bytes != 10 || s[4] != '-' || s[7] != '-') {
        return false;
    }
    for (int i = 0; i < 10; ++i) {
        if (i != 4 && i != 7 && (s[i] < '0' || s[i] > '9')) {
            return false;
        }
    }
    return true;
}

// jxc_convert(x, n, style): convert(varchar(n), x, style). Stored dates are
// text; a text that is a date is printed in the style, other values as by
// cast. A date without a time part keeps none, as SQL Server prints a date
// column, so convert(varchar(10),date,20) gives "yyyy-MM-dd" either way.
void fnConvert(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
        fnVarchar(ctx, argc, argv);
        return;
    }
    const char *s = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int bytes = sqlite3_value_bytes(argv[0]);
    const int style = sqlite3_value_int(argv[2]);
    // A stored day ("yyyy-MM-dd") prints as itself in the ISO styles, valid
    // or not: the reports convert one for every row they show.
    if (s && isIsoDay(s, bytes) && (style == 20 || style == 120 || style == 21 || style == 121 || style == 23)) {
        resultText(ctx, s, bytes, sqlite3_value_int(argv[1]));
        return;
    }
    DateTime dt;
    if (!s || !parseDateTime(s, bytes, false, &dt)) {
        fnVarchar(ctx, argc, argv);
        return;
    }
    const int length = sqlite3_value_int(argv[1]);
    char buf[64];
    int n = 0;
    switch (style) {
    case 20:
    case 120:
        n = dt.hasTime ? std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", dt.year, dt.month,
                                       dt.day, dt.hour, dt.minute, dt.second)
                       : std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", dt.year, dt.month, dt.day);
        break;
    case 21:
    case 121:
        n = dt.hasTime ? std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", dt.year,
                                       dt.month, dt.day, dt.hour, dt.minute, dt.second, dt.msec)
                       : std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", dt.year, dt.month, dt.day);
        break;
    case 23:
        n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", dt.year, dt.month, dt.day);
        break;
    case 102:
        n = std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", dt.year, dt.month, dt.day);
        break;
    case 111:
        n = std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", dt.year, dt.month, dt.day);
        break;
    case 112:
        n = std::snprintf(buf, sizeof buf, "%04d%02d%02d", dt.year, dt.month, dt.day);
        break;
    case 8:
    case 108:
        n = std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", dt.hour, dt.minute, dt.second);
        break;
    default:
        sqlite3_result_error(ctx, "unsupported convert style", -1);
        return;
    }
    resultText(ctx, buf, n, length);
}

bool isNumericText(const char *s, int len)
{
    bool digits = false;
    int i = 0;
    if (i < len && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    while (i < len && s[i] >= '0' && s[i] <= '9') {
        ++i;
        digits = true;
    }
    if (i < len && s[i] == '.') {
        ++i;
        while (i < len && s[i] >= '0' && s[i] <= '9') {
            ++i;
            digits = true;
        }
    }
    if (digits && i < len && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < len && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        bool exponent = false;
        while (i < len && s[i] >= '0' && s[i] <= '9') {
            ++i;
            exponent = true;
        }
        digits = exponent;
    }
    return digits && i == len;
}

// jxc_decimal(x, p, s): convert(decimal(p,s), x), a number rounded to s places.
void fnDecimal(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    double value;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        value = sqlite3_value_double(argv[0]);
        break;
    default: {
        const char *s = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
        int len = sqlite3_value_bytes(argv[0]);
        while (len > 0 && (*s == ' ' || *s == '\t')) {
            ++s;
            --len;
        }
        while (len > 0 && (s[len - 1] == ' ' || s[len - 1] == '\t')) {
            --len;
        }
        if (!isNumericText(s, len)) {
            sqlite3_result_error(ctx, "Error converting data type varchar to numeric.", -1);
            return;
        }
        value = std::strtod(std::string(s, static_cast<size_t>(len)).c_str(), nullptr);
        break;
    }
    }
    const int precision = sqlite3_value_int(argv[1]);
    const int scale = sqlite3_value_int(argv[2]);
    const double rounded = roundHalfAway(value, scale);
    if (std::fabs(rounded) >= powerOfTen(precision - scale)) {
        sqlite3_result_error(ctx, "Arithmetic overflow error converting numeric to data type numeric.", -1);
        return;
    }
    sqlite3_result_double(ctx, rounded);
}

// jxc_datediff(part, a, b): the number of part boundaries crossed from a to
// b, as SQL Server counts them (day: the dates' difference, time ignored).
void fnDatediff(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    DateTime a;
    DateTime b;
    if (!dateArgument(argv[1], &a) || !dateArgument(argv[2], &b)) {
        sqlite3_result_error(ctx, "Conversion failed when converting date and/or time from character string.",
                             -1);
        return;
    }
    const char *part = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const long long days = daysFromCivil(b.year, b.month, b.day) - daysFromCivil(a.year, a.month, a.day);
    long long result;
    if (std::strcmp(part, "day") == 0) {
        result = days;
    } else if (std::strcmp(part, "month") == 0) {
        result = (b.year - a.year) * 12LL + (b.month - a.month);
    } else if (std::strcmp(part, "year") == 0) {
        result = b.year - a.year;
    } else {
        const long long hours = days * 24 + (b.hour - a.hour);
        const long long minutes = hours * 60 + (b.minute - a.minute);
        if (std::strcmp(part, "hour") == 0) {
            result = hours;
        } else if (std::strcmp(part, "minute") == 0) {
            result = minutes;
        } else {
            result = minutes * 60 + (b.second - a.second);
        }
    }
    sqlite3_result_int64(ctx, result);
}

} // namespace

bool install(sqlite3 *db, QString *error)
{
    struct Function
    {
        const char *name;
        int args;
        void (*fn)(sqlite3_context *, int, sqlite3_value **);
    };
    static const Function functions[] = {
        {"jxc_add", 2, fnAdd},         {"jxc_varchar", 2, fnVarchar},   {"jxc_convert", 3, fnConvert},
        {"jxc_decimal", 3, fnDecimal}, {"jxc_datediff", 3, fnDatediff}, {"jxc_divisor", 1, fnDivisor},
        {"like", 2, fnLike},           {"like", 3, fnLike},
    };
    int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
#ifdef SQLITE_INNOCUOUS
    flags |= SQLITE_INNOCUOUS;
#endif
    for (const Function &f : functions) {
        const int rc = sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.fn, nullptr, nullptr,
                                                  nullptr);
        if (rc != SQLITE_OK) {
            if (error) {
                *error = QString::fromUtf8(sqlite3_errmsg(db));
            }
            return false;
        }
    }
    return ChineseCollation::install(db, error);
}

} // namespace SqliteFunctions
