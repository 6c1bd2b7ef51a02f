#include "db/literalparameters.h"

namespace LiteralParameters {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c.unicode() > 0x7f;
}

bool isWordPart(QChar c)
{
    return isWordStart(c) || c.isDigit() || c == QLatin1Char('$');
}

bool startsNumber(const QString &sql, int i)
{
    return i < sql.size()
        && (sql.at(i).isDigit() || (sql.at(i) == QLatin1Char('.') && i + 1 < sql.size() && sql.at(i + 1).isDigit()));
}

// True when what comes before cannot end an operand, so that a "-" here is
// a sign and not a subtraction.
bool isSignPosition(const QString &before)
{
    for (int k = before.size() - 1; k >= 0; --k) {
        const QChar c = before.at(k);
        if (!c.isSpace()) {
            return c == QLatin1Char('(') || c == QLatin1Char(',') || c == QLatin1Char('=');
        }
    }
    return false;
}

} // namespace

bool extract(const QString &sql, QString *shape, QVector<QVariant> *values,
             const std::function<bool(const QString &, double *)> &toReal)
{
    QString out;
    out.reserve(sql.size());
    QVector<QVariant> found;
    bool firstWord = true;
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('?') || c == QLatin1Char(':') || c == QLatin1Char('@')
            || c == QLatin1Char('$')) {
            return false; // parameters of the statement's own
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            const int end = sql.indexOf(QLatin1Char('\n'), i);
            const int stop = end < 0 ? n : end;
            out += sql.midRef(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            const int end = sql.indexOf(QLatin1String("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            out += sql.midRef(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('\'')) {
            // Not a null string: '' is an empty text, not NULL.
            int j = i + 1;
            bool doubled = false;
            for (;;) {
                j = sql.indexOf(QLatin1Char('\''), j);
                if (j < 0) {
                    return false; // unterminated: leave it to SQLite's message
                }
                if (j + 1 < n && sql.at(j + 1) == QLatin1Char('\'')) {
                    doubled = true;
                    j += 2;
                    continue;
                }
                break;
            }
            QString text = j == i + 1 ? QString(QLatin1String("")) : sql.mid(i + 1, j - i - 1);
            if (doubled) {
                text.replace(QLatin1String("''"), QLatin1String("'"));
            }
            found << text;
            out += QLatin1Char('?');
            i = j + 1;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            int j = i + 1;
            while (j < n && sql.at(j) != close) {
                ++j;
            }
            if (j >= n) {
                return false;
            }
            out += sql.midRef(i, j + 1 - i);
            i = j + 1;
        } else if (isWordStart(c)) {
            int j = i;
            while (j < n && isWordPart(sql.at(j))) {
                ++j;
            }
            const QStringRef word = sql.midRef(i, j - i);
            if (firstWord) {
                if (word.compare(QLatin1String("insert"), Qt::CaseInsensitive) != 0
                    && word.compare(QLatin1String("update"), Qt::CaseInsensitive) != 0
                    && word.compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
                    return false;
                }
                firstWord = false;
            }
            // A blob literal, or a number after "order by"/"group by" that
            // names a column: neither is a plain value.
            if ((word.size() == 1 && (c == QLatin1Char('x') || c == QLatin1Char('X')) && j < n
                 && sql.at(j) == QLatin1Char('\''))
                || word.compare(QLatin1String("by"), Qt::CaseInsensitive) == 0) {
                return false;
            }
            out += word;
            i = j;
        } else if (startsNumber(sql, i) || (c == QLatin1Char('-') && startsNumber(sql, i + 1) && isSignPosition(out))) {
            // A minus sign right after "(", "," or "=" belongs to the number:
            // -5 and 5 then share one shape.
            const bool negative = c == QLatin1Char('-');
            const int begin = negative ? i + 1 : i;
            int j = begin;
            bool real = false;
            while (j < n && sql.at(j).isDigit()) {
                ++j;
            }
            if (j < n && sql.at(j) == QLatin1Char('.')) {
                real = true;
                ++j;
                while (j < n && sql.at(j).isDigit()) {
                    ++j;
                }
            }
            if (j < n && (sql.at(j) == QLatin1Char('e') || sql.at(j) == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (sql.at(k) == QLatin1Char('+') || sql.at(k) == QLatin1Char('-'))) {
                    ++k;
                }
                if (k < n && sql.at(k).isDigit()) {
                    real = true;
                    while (k < n && sql.at(k).isDigit()) {
                        ++k;
                    }
                    j = k;
                }
            }
            if (j < n && isWordPart(sql.at(j))) {
                return false; // 0x1F and the like
            }
            const QString number = sql.mid(begin, j - begin);
            bool ok = false;
            if (real) {
                double value = 0;
                ok = toReal(number, &value);
                found << (negative ? -value : value);
            } else {
                const qlonglong value = number.toLongLong(&ok);
                found << (negative ? -value : value);
            }
            if (!ok) {
                return false; // beyond 64 bits: SQLite reads it as a real
            }
            out += QLatin1Char('?');
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    if (firstWord || found.isEmpty()) {
        return false;
    }
    *shape = out;
    *values = found;
    return true;
}

} // namespace LiteralParameters
