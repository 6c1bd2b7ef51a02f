#pragma once

// Small helpers shared by the master-data tests: finding a form's children by
// object name and reading its table the way the user sees it.

#include <QList>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <QtTest>

#include <sqlite3.h>

// Declares var as the child of form named name, failing the test when the
// form has no such child.
#define FIND_CHILD(type, var, form, name)                                             \
    type *var = (form).findChild<type *>(QStringLiteral(name));                      \
    QVERIFY2(var != nullptr, "no child named " name)

namespace FormTest {

// Types text into widget key by key. QTest::keyClicks only knows Latin-1
// characters; this sends each character as the text of its key event.
inline void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

inline QString cell(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QStringLiteral("<no item>");
}

// The texts of one row, the last (tick) column left out.
inline QStringList rowTexts(const QTableWidget *table, int row)
{
    QStringList texts;
    for (int c = 0; c + 1 < table->columnCount(); ++c) {
        texts << cell(table, row, c);
    }
    return texts;
}

inline QList<QStringList> tableTexts(const QTableWidget *table)
{
    QList<QStringList> rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        rows << rowTexts(table, row);
    }
    return rows;
}

inline void tick(QTableWidget *table, int row, int column, bool ticked = true)
{
    table->item(row, column)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

// The row whose column holds text, or -1.
inline int rowOf(const QTableWidget *table, int column, const QString &text)
{
    for (int row = 0; row < table->rowCount(); ++row) {
        if (cell(table, row, column) == text) {
            return row;
        }
    }
    return -1;
}

inline bool isReadOnly(const QTableWidget *table, int row, int column)
{
    return !(table->item(row, column)->flags() & Qt::ItemIsEditable);
}

// The SQLite file under the embedded engine's connection db, or nullptr.
inline sqlite3 *engineHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// Runs SQLite's own sql on the file under db, past the engine's translation:
// for the triggers with which a test makes the database refuse a write.
inline bool runOnFile(const QSqlDatabase &db, const char *sql)
{
    sqlite3 *file = engineHandle(db);
    return file && sqlite3_exec(file, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace FormTest
