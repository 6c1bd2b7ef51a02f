#pragma once

#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QString>
#include <QVector>

#include <functional>

class QWidget;

// An editable table model (manual submit) whose save never overwrites what
// another workstation saved meanwhile: a stored row is updated or deleted only
// while it still holds every value this screen loaded, and the save is one
// transaction that refuses, naming the rows, when any of them has changed.
// The table needs an integer key column "id".
class GuardedTableModel : public QSqlTableModel
{
    Q_OBJECT
public:
    enum class Outcome { Saved, Stale, Refused, Failed };

    // Asked inside the save's transaction, before anything is written, so
    // that what it reads cannot change before the commit: false with a
    // message refuses the save.
    using Check = std::function<bool(QString *message)>;

    explicit GuardedTableModel(QObject *parent = nullptr, const QSqlDatabase &db = QSqlDatabase());

    // Writes every unsaved change in one transaction, in row order. Stale: some
    // changed or removed rows were changed or deleted by another user since
    // they were loaded (*message names them). Failed: the database refused
    // (its text in *message). In both cases nothing is written and the changes
    // stay on the screen for correction. Refused: check said no (its message).
    // Saved: committed and selected again.
    Outcome saveAll(QString *message, const Check &check = Check());

    // Tells the user why a save did not go through: a database failure under
    // "数据错误", a refusal or another user's change under "错误提示". True
    // when it was saved, with nothing to tell.
    static bool tellOutcome(QWidget *parent, Outcome outcome, const QString &message);

    // "第%1行已被其他用户修改，请重新查询后再保存！" with the rows counted from 1.
    static QString staleMessage(const QList<int> &rows);

    // Fetches every row the filter selects.
    void fetchAll();

    // The value column held when the rows were loaded; the value of a row
    // added on this screen is its current one.
    QVariant loadedValue(int row, int column) const;

    // One row as the screen shows it: what it holds now (edits included) and,
    // for a stored row, what it held when loaded.
    struct Row
    {
        enum class State { Loaded, New, Changed, Removed };
        State state = State::Loaded;
        QVector<QVariant> values;
        QVector<QVariant> loaded; // empty for a new row
        QVector<bool> edited;     // per column, of a changed row
    };

    // Every row the filter selects, read in one pass. Reading cell by cell
    // through data() costs time in proportion to the rows edited, for every
    // cell; a save over thousands of rows reads them this way instead.
    QVector<Row> shownRows();

    // Whether row was added on this screen, or is a stored row marked for
    // removal, or has unsaved changes.
    bool isNewRow(int row) const;
    bool isRemovedRow(int row) const;
    bool isChangedRow(int row) const;

protected:
    // submitAll goes through the same guard; a row that no longer holds what
    // was loaded fails it.
    bool updateRowInTable(int row, const QSqlRecord &values) override;
    bool deleteRowFromTable(int row) override;

private:
    enum class Write { Done, Stale, Failed };
    // "id = ? and date = ? and checker is null ..." over the loaded values.
    QString whereLoaded(const QVector<QVariant> &loaded, QVariantList *values) const;
    QVector<QVariant> loadedValues(int row) const;
    Write insertStored(const QSqlRecord &values, QString *error);
    Write updateStored(const QVector<QVariant> &loaded, const QSqlRecord &values, QString *error);
    Write deleteStored(const QVector<QVariant> &loaded, QString *error);
    Write execute(const QString &statement, const QVariantList &values, bool oneRow, QString *error);

    // Statements prepared during one save, by text: a save of many rows
    // prepares each distinct text once and binds each row's values.
    QHash<QString, QSqlQuery> m_prepared;
};
