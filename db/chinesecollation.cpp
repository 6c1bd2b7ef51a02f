#include "db/chinesecollation.h"

#include <QCollator>
#include <QLocale>
#include <QVector>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace ChineseCollation {

namespace {

// Bumped whenever the order changes: files whose indexes were built under
// another one have them rebuilt when opened (kept in PRAGMA user_version).
const int orderVersion = 2;

// Weights of the groups, lowest first: symbols, digits, letters, letters of
// other scripts, Chinese.
const uint symbolBase = 0x1;
const uint otherSymbolBase = 0x100;
const uint digitBase = 0x200000;
const uint letterBase = 0x200100;
const uint otherLetterBase = 0x300000;
const uint chineseBase = 0x500000;

// Rank of each CJK unified ideograph (U+4E00..U+9FFF) in pinyin order, from
// ICU's Chinese collation, computed once: a per-character table keeps the
// comparison itself free of ICU calls, which matters when an index over a
// million rows is built or searched.
const QVector<quint16> &pinyinRanks()
{
    static const QVector<quint16> ranks = [] {
        const int count = 0x9FFF - 0x4E00 + 1;
        QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
        QVector<QCollatorSortKey> keys;
        keys.reserve(count);
        QVector<int> order(count);
        for (int i = 0; i < count; ++i) {
            keys.append(collator.sortKey(QString(QChar(ushort(0x4E00 + i)))));
            order[i] = i;
        }
        std::stable_sort(order.begin(), order.end(),
                         [&keys](int a, int b) { return keys.at(a).compare(keys.at(b)) < 0; });
        QVector<quint16> result(count);
        for (int rank = 0; rank < count; ++rank) {
            result[order.at(rank)] = quint16(rank);
        }
        return result;
    }();
    return ranks;
}

// First-level weights of the folded characters below U+0250 (ASCII and the
// Latin letters with accents, which weigh as their base letter).
const QVector<uint> &latinWeights()
{
    static const QVector<uint> weights = [] {
        QVector<uint> w(0x250, 0);
        // Symbols in the order Windows sorts them, blank first.
        static const char symbols[] = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>'-";
        for (int i = 0; symbols[i]; ++i) {
            w[uchar(symbols[i])] = symbolBase + uint(i);
        }
        for (uint c = 0; c < 0x20; ++c) {
            w[c] = symbolBase; // control characters weigh as a blank
        }
        w[0x7F] = symbolBase;
        for (uint d = 0; d < 10; ++d) {
            w['0' + d] = digitBase + d;
        }
        for (uint c = 0; c < 26; ++c) {
            w['a' + c] = letterBase + c;
            w['A' + c] = letterBase + c;
        }
        for (uint c = 0x80; c < 0x250; ++c) {
            const QString d = QChar::decomposition(c);
            const QChar base = d.isEmpty() ? QChar() : d.at(0).toLower();
            if (base >= QLatin1Char('a') && base <= QLatin1Char('z')) {
                w[c] = w[base.unicode()];
            } else if (QChar::isLetterOrNumber(c)) {
                w[c] = otherLetterBase + c;
            } else {
                w[c] = otherSymbolBase + c;
            }
        }
        return w;
    }();
    return weights;
}

// Weight of a folded character, with the pinyin table at hand.
inline uint weightOf(uint folded, const uint *latin, const quint16 *ranks)
{
    if (folded < 0x250) {
        return latin[folded];
    }
    if (folded >= 0x4E00 && folded <= 0x9FFF) {
        return chineseBase + ranks[folded - 0x4E00];
    }
    return QChar::isLetterOrNumber(folded) ? otherLetterBase + folded : otherSymbolBase + folded;
}

inline uint foldAscii(uint c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

int sqliteCompare(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    return compare(static_cast<const unsigned char *>(a), lengthA, static_cast<const unsigned char *>(b),
                   lengthB);
}

bool exec(sqlite3 *db, const char *sql, QString *error)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK) {
        return true;
    }
    if (error) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    }
    return false;
}

// PRAGMA user_version, or -1 when it cannot be read (no database file).
int storedVersion(sqlite3 *db)
{
    sqlite3_stmt *statement = nullptr;
    int version = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW) {
        version = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
    return version;
}

// Indexes built under an earlier order are out of order under this one, and
// SQLite would then miss rows in them.
bool rebuildIndexes(sqlite3 *db, QString *error)
{
    const int version = storedVersion(db);
    // A file that is no database is for the caller to report; a read-only
    // one cannot be changed.
    if (version < 0 || version == orderVersion || sqlite3_db_readonly(db, "main") == 1) {
        return true;
    }
    if (!exec(db, "BEGIN IMMEDIATE", error)) {
        return false;
    }
    if (storedVersion(db) != orderVersion) {
        const QByteArray reindex = QByteArray("REINDEX ") + name;
        const QByteArray mark = "PRAGMA user_version = " + QByteArray::number(orderVersion);
        if (!exec(db, reindex.constData(), error) || !exec(db, mark.constData(), error)) {
            exec(db, "ROLLBACK", nullptr);
            return false;
        }
    }
    return exec(db, "COMMIT", error);
}

} // namespace

uint fold(uint c)
{
    if (c < 0x80) {
        return foldAscii(c);
    }
    if (c >= 0xFF01 && c <= 0xFF5E) {
        return foldAscii(c - 0xFEE0); // full-width forms of ASCII
    }
    if (c == 0x3000) {
        return ' ';
    }
    if (c >= 0x3400 && c <= 0x9FFF) {
        return c; // CJK ideographs have no case: most of a Chinese text
    }
    return QChar::toCaseFolded(c);
}

uint primaryWeight(uint folded)
{
    return weightOf(folded, latinWeights().constData(), pinyinRanks().constData());
}

uint nextCodePoint(const unsigned char *s, int len, int *pos)
{
    const uint c = s[*pos];
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (*pos + extra >= len) {
        extra = 0; // cut short: the byte on its own
    }
    uint cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k <= extra; ++k) {
        cp = (cp << 6) | (s[*pos + k] & 0x3F);
    }
    *pos += 1 + extra;
    return cp;
}

int trimmedLength(const unsigned char *s, int len)
{
    for (;;) {
        if (len > 0 && s[len - 1] == ' ') {
            --len;
        } else if (len >= 3 && s[len - 3] == 0xE3 && s[len - 2] == 0x80 && s[len - 1] == 0x80) {
            len -= 3; // U+3000, the full-width blank
        } else {
            return len;
        }
    }
}

int compare(const unsigned char *a, int lenA, const unsigned char *b, int lenB)
{
    lenA = trimmedLength(a, lenA);
    lenB = trimmedLength(b, lenB);
    // Sorting and grouping compare mostly texts that are the same: units,
    // categories, names.
    if (lenA == lenB && (lenA == 0 || std::memcmp(a, b, size_t(lenA)) == 0)) {
        return 0;
    }
    const uint *latin = latinWeights().constData();
    const quint16 *ranks = pinyinRanks().constData();

    // First level: weights without "-" and "'"; 0 stands for the end.
    const auto nextWeight = [&](const unsigned char *s, int len, int *pos) -> uint {
        while (*pos < len) {
            const uint c = s[*pos];
            uint folded;
            if (c < 0x80) {
                ++*pos;
                folded = foldAscii(c);
            } else {
                folded = fold(nextCodePoint(s, len, pos));
            }
            if (!isIgnorable(folded)) {
                return weightOf(folded, latin, ranks);
            }
        }
        return 0;
    };
    int i = 0;
    int j = 0;
    for (;;) {
        const uint wa = nextWeight(a, lenA, &i);
        const uint wb = nextWeight(b, lenB, &j);
        if (wa != wb) {
            return wa < wb ? -1 : 1;
        }
        if (wa == 0) {
            break;
        }
    }

    // Second level: the folded characters themselves, accents told apart,
    // and a text without a "-" before the same text with one.
    i = 0;
    j = 0;
    while (i < lenA && j < lenB) {
        uint fa = fold(nextCodePoint(a, lenA, &i));
        uint fb = fold(nextCodePoint(b, lenB, &j));
        fa = isIgnorable(fa) ? 0xFFFFFF00 + fa : fa;
        fb = isIgnorable(fb) ? 0xFFFFFF00 + fb : fb;
        if (fa != fb) {
            return fa < fb ? -1 : 1;
        }
    }
    if (i < lenA) {
        return 1;
    }
    return j < lenB ? -1 : 0;
}

bool install(sqlite3 *db, QString *error)
{
    if (sqlite3_create_collation_v2(db, name, SQLITE_UTF8, nullptr, sqliteCompare, nullptr) != SQLITE_OK) {
        if (error) {
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        }
        return false;
    }
    return rebuildIndexes(db, error);
}

} // namespace ChineseCollation
