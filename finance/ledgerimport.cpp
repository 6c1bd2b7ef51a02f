#include "finance/ledgerimport.h"

#include <QDate>
#include <QTextCodec>

namespace LedgerImport {

QString key(const QString &company, const QString &category)
{
    return company + QLatin1Char('\n') + category;
}

QString decode(const QByteArray &bytes)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF")) {
        data.remove(0, 3);
    }
    QTextCodec *utf8 = QTextCodec::codecForName("UTF-8");
    QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
    const QString text = utf8->toUnicode(data.constData(), data.size(), &state);
    if (state.invalidChars == 0) {
        return text;
    }
    // A spreadsheet on a Chinese desktop saves "CSV" in the system's code page.
    QTextCodec *gbk = QTextCodec::codecForName("GB18030");
    return gbk ? gbk->toUnicode(data) : QString::fromLocal8Bit(data);
}

QVector<QPair<int, QStringList>> records(const QString &text)
{
    QVector<QPair<int, QStringList>> result;
    QStringList fields;
    QString field;
    bool quoted = false;
    int line = 1;
    int recordLine = 1;
    auto endRecord = [&]() {
        fields << field;
        field.clear();
        bool blank = true;
        for (const QString &f : qAsConst(fields)) {
            if (!f.trimmed().isEmpty()) {
                blank = false;
            }
        }
        if (!blank) {
            result.append(qMakePair(recordLine, fields));
        }
        fields.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n')) {
                    ++line;
                }
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            endRecord();
            ++line;
            recordLine = line;
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    // The last line counts whether or not the file ends in a line feed.
    if (!field.isEmpty() || !fields.isEmpty()) {
        endRecord();
    }
    return result;
}

namespace {

// The ASCII digits of text from *at, at least least and at most most of
// them, as a number; -1 when there are too few. Read by hand: a file of
// thousands of lines is checked twice over, and a pattern match a field
// costs more than the rest of the check.
int digitsAt(const QString &text, int *at, int least, int most)
{
    int value = 0;
    int count = 0;
    while (*at < text.size() && count < most) {
        const ushort c = text.at(*at).unicode();
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
        ++count;
        ++*at;
    }
    return count >= least ? value : -1;
}

bool separatorAt(const QString &text, int *at)
{
    if (*at < text.size() && (text.at(*at) == QLatin1Char('-') || text.at(*at) == QLatin1Char('/'))) {
        ++*at;
        return true;
    }
    return false;
}

} // namespace

QString dateOf(const QString &field)
{
    // "yyyy-M-d" or "yyyy/M/d", either with a time after a blank.
    const QString trimmed = field.trimmed();
    const QString part = trimmed.left(trimmed.indexOf(QLatin1Char(' ')));
    int at = 0;
    const int year = digitsAt(part, &at, 4, 4);
    if (year < 0 || !separatorAt(part, &at)) {
        return QString();
    }
    const int month = digitsAt(part, &at, 1, 2);
    if (month < 0 || !separatorAt(part, &at)) {
        return QString();
    }
    const int day = digitsAt(part, &at, 1, 2);
    if (day < 0 || at != part.size()) {
        return QString();
    }
    if (!QDate::isValid(year, month, day)) {
        return QString();
    }
    // Most files hold the stored form already: keep the text.
    if (part.size() == 10 && part.at(4) == QLatin1Char('-') && part.at(7) == QLatin1Char('-')) {
        return part;
    }
    return QDate(year, month, day).toString(Qt::ISODate);
}

bool overlaps(const Period &a, const Period &b)
{
    return a.begin <= b.end && a.end >= b.begin;
}

namespace {

// "-12.5": up to 13 digits, up to 4 decimals.
bool isAmount(const QString &text)
{
    int at = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    int start = at;
    digitsAt(text, &at, 0, 13);
    if (at == start) {
        return false;
    }
    if (at < text.size() && text.at(at) == QLatin1Char('.')) {
        start = ++at;
        digitsAt(text, &at, 0, 4);
        if (at == start) {
            return false;
        }
    }
    return at == text.size();
}

} // namespace

QVector<Line> lines(const QVector<QPair<int, QStringList>> &records)
{
    QVector<Line> result;
    result.reserve(records.size());
    for (int i = 0; i < records.size(); ++i) {
        const QStringList &fields = records.at(i).second;
        auto fieldAt = [&fields](int n) { return n < fields.size() ? fields.at(n) : QString(); };
        Line line;
        line.number = records.at(i).first;
        line.begin = dateOf(fieldAt(0));
        line.end = dateOf(fieldAt(1));
        if (i == 0 && line.begin.isEmpty() && line.end.isEmpty()) {
            continue; // the column titles
        }
        line.company = fieldAt(2).trimmed();
        line.amount = fieldAt(3).trimmed();
        if (line.amount.isEmpty()) {
            line.amount = QStringLiteral("0");
        }
        line.category = fieldAt(4).trimmed();
        result.append(line);
    }
    return result;
}

QVector<Problem> check(const QVector<Line> &lines, const Known &known)
{
    QVector<Problem> problems;
    QHash<QString, QVector<QPair<Period, int>>> earlier;
    for (const Line &line : lines) {
        QString reason;
        if (line.begin.isEmpty()) {
            reason = QStringLiteral("开始日期不正确");
        } else if (line.end.isEmpty()) {
            reason = QStringLiteral("结束日期不正确");
        } else if (line.end < line.begin) {
            reason = QStringLiteral("结束日期不能小于开始日期");
        } else if (!isAmount(line.amount)) {
            reason = QStringLiteral("金额“%1”不是数字").arg(line.amount);
        } else if (!known.companies.contains(line.company)) {
            reason = QStringLiteral("单位“%1”不存在").arg(line.company);
        } else if (!known.categories.contains(line.category)) {
            reason = QStringLiteral("类别“%1”不存在").arg(line.category);
        } else {
            const Period period{line.begin, line.end};
            const QString k = key(line.company, line.category);
            for (const Period &stored : known.stored.value(k)) {
                if (overlaps(period, stored)) {
                    reason = QStringLiteral("与已有周期%1至%2重叠").arg(stored.begin, stored.end);
                    break;
                }
            }
            QVector<QPair<Period, int>> &before = earlier[k];
            for (int i = 0; reason.isEmpty() && i < before.size(); ++i) {
                if (overlaps(period, before.at(i).first)) {
                    reason = QStringLiteral("与第%1行的周期重叠").arg(before.at(i).second);
                }
            }
            before.append(qMakePair(period, line.number));
        }
        if (!reason.isEmpty()) {
            problems.append(Problem{line.number, reason});
        }
    }
    return problems;
}

QString report(const QVector<Problem> &problems, int maxShown)
{
    QStringList texts;
    for (int i = 0; i < problems.size() && i < maxShown; ++i) {
        texts << QStringLiteral("第%1行：%2").arg(problems.at(i).number).arg(problems.at(i).reason);
    }
    if (problems.size() > maxShown) {
        texts << QStringLiteral("另有%1行有错误").arg(problems.size() - maxShown);
    }
    return QStringLiteral("文件有错误，没有导入任何数据：\n") + texts.join(QLatin1Char('\n'));
}

} // namespace LedgerImport
