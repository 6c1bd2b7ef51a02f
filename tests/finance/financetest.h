#pragma once

// Shorthands of the finance form tests: a form's children by object name,
// its table model and the rows stored.

#include <QPushButton>
#include <QSqlTableModel>
#include <QString>
#include <QTableView>
#include <QtTest>

namespace FinanceTest {

template <class T>
T *child(QWidget &form, const char *name)
{
    T *found = form.findChild<T *>(QLatin1String(name));
    if (!found) {
        qFatal("no child named %s", name);
    }
    return found;
}

inline QSqlTableModel *modelOf(QWidget &form)
{
    return qobject_cast<QSqlTableModel *>(child<QTableView>(form, "tableView")->model());
}

inline QString cell(QWidget &form, int row, int column)
{
    return modelOf(form)->index(row, column).data().toString();
}

inline void setCell(QWidget &form, int row, int column, const QString &text)
{
    modelOf(form)->setData(modelOf(form)->index(row, column), text);
}

inline void click(QWidget &form, const char *button)
{
    child<QPushButton>(form, button)->click();
}

// Makes row the table's current row, as a click on it does.
inline void pick(QWidget &form, int row)
{
    child<QTableView>(form, "tableView")->setCurrentIndex(modelOf(form)->index(row, 1));
}

// A text value for the statements of the test data.
inline QString q(const QString &text)
{
    return QString(text).replace(QLatin1Char('\''), QStringLiteral("''"));
}

} // namespace FinanceTest
