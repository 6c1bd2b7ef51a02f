#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

// Reading billing periods from a CSV file as a spreadsheet saves it: the
// columns begin date, end date, partner, amount and category, in UTF-8 (with
// or without byte-order mark) or GBK, lines ended by "\n" or "\r\n", fields
// quoted the way our CSV export quotes them. A file is checked as a whole so
// that it is imported entirely or not at all.
namespace LedgerImport {

struct Period
{
    QString begin; // "yyyy-MM-dd"
    QString end;
};

struct Line
{
    int number = 0; // line of the file, from 1
    QString begin;
    QString end;
    QString company;
    QString amount;
    QString category;
};

struct Problem
{
    int number;
    QString reason;
};

// What a line is checked against.
struct Known
{
    QSet<QString> companies;
    QSet<QString> categories;
    // Stored periods by company and category (key: company + "\n" + category).
    QHash<QString, QVector<Period>> stored;
};

QString key(const QString &company, const QString &category);

// UTF-8 when the bytes are valid UTF-8 (a BOM is dropped), else GBK.
QString decode(const QByteArray &bytes);

// The records of text with their line numbers; blank lines are left out.
// A quoted field may hold commas, doubled quotes and line breaks.
QVector<QPair<int, QStringList>> records(const QString &text);

// A date as a spreadsheet writes it ("2024-01-05", "2024/1/5", either with a
// time after a blank) as "yyyy-MM-dd"; empty when it is no date.
QString dateOf(const QString &field);

// Whether two periods share at least one day.
bool overlaps(const Period &a, const Period &b);

// The lines of the records, their fields read; a first record whose dates
// do not read is a header and left out. A date that does not read stays
// empty, an empty amount is 0.
QVector<Line> lines(const QVector<QPair<int, QStringList>> &records);

// The problems of the lines, in line order; none when all may be imported.
QVector<Problem> check(const QVector<Line> &lines, const Known &known);

// The message listing the first maxShown problems and how many more there are.
QString report(const QVector<Problem> &problems, int maxShown = 20);

} // namespace LedgerImport
