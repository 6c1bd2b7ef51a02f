#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>

class QTableWidget;
class QTableWidgetItem;
class QWidget;

// Saves that never overwrite what another workstation saved meanwhile. A
// table cell remembers the value it was loaded with; a row is written only
// when one of its cells differs from that, and its update or delete carries
// the loaded values in its condition. A statement of a loaded row that then
// touches no row finds the row changed or deleted by someone else: nothing
// of the save is kept, and the user is told which rows to look at again.
namespace GuardedSave {

// The stored value and the text shown for it when loaded.
void remember(QTableWidgetItem *item, const QVariant &stored);
// A new cell showing shown that remembers stored, as remember() would; it
// keeps both beside its text, so that a table of a hundred thousand rows is
// loaded without growing every cell's role list twice.
QTableWidgetItem *loadedItem(const QString &shown, const QVariant &stored);
// The stored value the cell was loaded with (invalid for a new cell).
QVariant loaded(const QTableWidgetItem *item);
// Whether the cell's text differs from the one it was loaded with.
bool changed(const QTableWidgetItem *item);

// " and field=<value>" for a text or number column, " and field is null"
// when the loaded value was NULL. Numbers are written as read, so that a
// stored 0.1 compares equal to itself.
QString unchangedText(const QString &field, const QVariant &stored);
QString unchangedNumber(const QString &field, const QVariant &stored);

struct Write
{
    QString sql;   // one statement, with its ";"
    int row = -1;  // the table row (from 0) it guards; -1 for a new row
};

enum class Outcome { Saved, Stale, Failed };

// Runs the writes in one transaction: new rows' statements BlockSize at a
// time through sendBlock (default: straight to the connection), the guarded
// ones one by one, each of which must touch a row. Stale: *staleRows holds
// the rows (from 0) another user changed; nothing was kept.
using Sender = std::function<bool(const QString &statements, QString *error)>;
Outcome run(const QVector<Write> &writes, QList<int> *staleRows, QString *error,
            const Sender &sendBlock = Sender());

// The same, with the writes composed inside the transaction before they
// run: for checks that must see what the database holds then. compose
// returns false, with *error set, to keep nothing.
using Composer = std::function<bool(QVector<Write> *writes, QString *error)>;
Outcome run(const Composer &compose, QList<int> *staleRows, QString *error,
            const Sender &sendBlock = Sender());

// A text column of a table as the user knows it and as it is stored.
struct TextColumn
{
    int column;
    QString header;
    QString field;
};

// A text the engine would refuse, said in the user's words before the save:
// "第3行“备注”不能含有空字符"; empty when every text can be stored.
QString unstorableText(const QTableWidget *table, const QVector<TextColumn> &columns);

// The engine's refusal of a text longer than its column, said in the user's
// words with the engine's text after it for support:
// "第3行“商品名称”不能超过100个字符". Other texts come back as they are.
QString explained(const QString &engineText, const QTableWidget *table,
                  const QVector<TextColumn> &columns);

// "第2、5行已被其他用户修改，请重新查询后再保存！"
QString staleText(const QList<int> &rows);

// Tells the user why a save did not go through: the rows another user
// changed (a warning under title), or the engine's text. True when it was
// saved and nothing needed saying.
bool told(QWidget *parent, Outcome outcome, const QList<int> &staleRows, const QString &error,
          const QString &title = QStringLiteral("操作提示"));

} // namespace GuardedSave
