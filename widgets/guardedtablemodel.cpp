#include "widgets/guardedtablemodel.h"

#include "widgets/messages.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

GuardedTableModel::GuardedTableModel(QObject *parent, const QSqlDatabase &db)
    : QSqlTableModel(parent, db)
{
    setEditStrategy(QSqlTableModel::OnManualSubmit);
}

void GuardedTableModel::fetchAll()
{
    while (canFetchMore()) {
        fetchMore();
    }
}

bool GuardedTableModel::isNewRow(int row) const
{
    // Rows added on this screen have no place in the loaded result.
    return !indexInQuery(index(row, 0)).isValid();
}

bool GuardedTableModel::isRemovedRow(int row) const
{
    // A stored row marked for removal stays in the model until the save; the
    // model marks it with "!" in its vertical header.
    return !isNewRow(row) && headerData(row, Qt::Vertical, Qt::DisplayRole).toString() == QLatin1String("!");
}

bool GuardedTableModel::isChangedRow(int row) const
{
    for (int c = 0; c < columnCount(); ++c) {
        if (isDirty(index(row, c))) {
            return true;
        }
    }
    return false;
}

QVariant GuardedTableModel::loadedValue(int row, int column) const
{
    const QModelIndex loaded = indexInQuery(index(row, column));
    if (!loaded.isValid()) {
        return data(index(row, column), Qt::EditRole);
    }
    // The query model's own data is what was read, before any edit.
    return QSqlQueryModel::data(loaded, Qt::EditRole);
}

QVector<QVariant> GuardedTableModel::loadedValues(int row) const
{
    QVector<QVariant> values;
    for (int c = 0; c < columnCount(); ++c) {
        values << loadedValue(row, c);
    }
    return values;
}

QVector<GuardedTableModel::Row> GuardedTableModel::shownRows()
{
    fetchAll();
    // rowCount() and data() walk the model's list of edited rows on every
    // call; here each row is classified once and stored rows are read
    // straight from the loaded result.
    const int count = rowCount();
    const int columns = columnCount();
    QVector<Row> rows(count);
    QSqlQuery result = query();
    int added = 0;
    for (int row = 0; row < count; ++row) {
        Row &shown = rows[row];
        const QString mark = headerData(row, Qt::Vertical, Qt::DisplayRole).toString();
        if (mark == QLatin1String("*")) {
            shown.state = Row::State::New;
            ++added;
        } else {
            if (!result.seek(row - added)) {
                // Not in the result after all: the slow path knows.
                shown.loaded = loadedValues(row);
            } else {
                shown.loaded.reserve(columns);
                for (int c = 0; c < columns; ++c) {
                    shown.loaded << result.value(c);
                }
            }
            if (mark == QLatin1String("!")) {
                shown.state = Row::State::Removed;
            } else {
                for (int c = 0; c < columns; ++c) {
                    if (isDirty(createIndex(row, c))) {
                        if (shown.state == Row::State::Loaded) {
                            shown.state = Row::State::Changed;
                            shown.edited.fill(false, columns);
                        }
                        shown.edited[c] = true;
                    }
                }
            }
        }
        if (shown.state == Row::State::Loaded) {
            shown.values = shown.loaded;
        } else {
            shown.values.reserve(columns);
            for (int c = 0; c < columns; ++c) {
                shown.values << data(createIndex(row, c), Qt::EditRole);
            }
        }
    }
    return rows;
}

QString GuardedTableModel::whereLoaded(const QVector<QVariant> &loaded, QVariantList *values) const
{
    const QSqlRecord columns = QSqlQueryModel::record();
    const QSqlDriver *driver = database().driver();
    QStringList conditions;
    for (int c = 0; c < columns.count(); ++c) {
        const QString name = driver->escapeIdentifier(columns.fieldName(c), QSqlDriver::FieldName);
        const QVariant value = loaded.value(c);
        if (value.isNull()) {
            conditions << name + QStringLiteral(" is null");
        } else {
            conditions << name + QStringLiteral(" = ?");
            *values << value;
        }
    }
    return conditions.join(QStringLiteral(" and "));
}

QString GuardedTableModel::staleMessage(const QList<int> &rows)
{
    QStringList shown;
    for (int row : rows) {
        shown << QString::number(row + 1);
    }
    return QStringLiteral("第%1行已被其他用户修改，请重新查询后再保存！").arg(shown.join(QStringLiteral("、")));
}

GuardedTableModel::Write GuardedTableModel::execute(const QString &statement, const QVariantList &values,
                                                    bool oneRow, QString *error)
{
    auto found = m_prepared.find(statement);
    if (found == m_prepared.end()) {
        QSqlQuery prepared(database());
        if (!prepared.prepare(statement)) {
            *error = prepared.lastError().text();
            return Write::Failed;
        }
        found = m_prepared.insert(statement, prepared);
    }
    QSqlQuery &query = *found;
    for (int i = 0; i < values.size(); ++i) {
        query.bindValue(i, values.at(i));
    }
    if (!query.exec()) {
        *error = query.lastError().text();
        return Write::Failed;
    }
    // Changed or deleted meanwhile: writing now would overwrite it.
    return oneRow && query.numRowsAffected() != 1 ? Write::Stale : Write::Done;
}

GuardedTableModel::Write GuardedTableModel::insertStored(const QSqlRecord &values, QString *error)
{
    const QSqlDriver *driver = database().driver();
    QStringList names;
    QStringList marks;
    QVariantList bound;
    for (int c = 0; c < values.count(); ++c) {
        // The key is the database's to assign; columns never set take their defaults.
        if (!values.isGenerated(c) || values.fieldName(c) == QLatin1String("id")) {
            continue;
        }
        names << driver->escapeIdentifier(values.fieldName(c), QSqlDriver::FieldName);
        marks << QStringLiteral("?");
        bound << values.value(c);
    }
    if (names.isEmpty()) {
        return Write::Done;
    }
    return execute(QStringLiteral("insert into %1 (%2) values (%3)")
                       .arg(tableName(), names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                   bound, false, error);
}

GuardedTableModel::Write GuardedTableModel::updateStored(const QVector<QVariant> &loaded, const QSqlRecord &values,
                                                        QString *error)
{
    const QSqlDriver *driver = database().driver();
    QStringList assignments;
    QVariantList bound;
    for (int c = 0; c < values.count(); ++c) {
        if (values.isGenerated(c) && values.fieldName(c) != QLatin1String("id")) {
            assignments << driver->escapeIdentifier(values.fieldName(c), QSqlDriver::FieldName)
                               + QStringLiteral(" = ?");
            bound << values.value(c);
        }
    }
    if (assignments.isEmpty()) {
        return Write::Done;
    }
    const QString where = whereLoaded(loaded, &bound);
    return execute(QStringLiteral("update %1 set %2 where %3")
                       .arg(tableName(), assignments.join(QStringLiteral(", ")), where),
                   bound, true, error);
}

GuardedTableModel::Write GuardedTableModel::deleteStored(const QVector<QVariant> &loaded, QString *error)
{
    QVariantList bound;
    const QString where = whereLoaded(loaded, &bound);
    return execute(QStringLiteral("delete from %1 where %2").arg(tableName(), where), bound, true, error);
}

bool GuardedTableModel::updateRowInTable(int row, const QSqlRecord &values)
{
    QString error;
    const Write written = updateStored(loadedValues(row), values, &error);
    m_prepared.clear();
    if (written == Write::Stale) {
        error = staleMessage({row});
    }
    if (written != Write::Done) {
        setLastError(QSqlError(QString(), error, QSqlError::TransactionError));
    }
    return written == Write::Done;
}

bool GuardedTableModel::deleteRowFromTable(int row)
{
    QString error;
    const Write written = deleteStored(loadedValues(row), &error);
    m_prepared.clear();
    if (written == Write::Stale) {
        error = staleMessage({row});
    }
    if (written != Write::Done) {
        setLastError(QSqlError(QString(), error, QSqlError::TransactionError));
    }
    return written == Write::Done;
}

GuardedTableModel::Outcome GuardedTableModel::saveAll(QString *message, const Check &check)
{
    QSqlDatabase db = database();
    if (!db.transaction()) {
        *message = db.lastError().text();
        return Outcome::Failed;
    }
    if (check && !check(message)) {
        db.rollback();
        return Outcome::Refused;
    }
    // The model's own submit would mark rows as sent before the transaction
    // is committed, so a failed save could not be retried; writing here keeps
    // every change on the screen until the commit has succeeded.
    QList<int> stale;
    const QVector<Row> rows = shownRows();
    for (int row = 0; row < rows.size(); ++row) {
        const Row &shown = rows.at(row);
        Write written = Write::Done;
        switch (shown.state) {
        case Row::State::New:
            written = insertStored(record(row), message);
            break;
        case Row::State::Removed:
            written = deleteStored(shown.loaded, message);
            break;
        case Row::State::Changed:
            written = updateStored(shown.loaded, record(row), message);
            break;
        case Row::State::Loaded:
            break;
        }
        if (written == Write::Failed) {
            m_prepared.clear();
            db.rollback();
            return Outcome::Failed;
        }
        if (written == Write::Stale) {
            stale << row;
        }
    }
    m_prepared.clear();
    if (!stale.isEmpty()) {
        db.rollback();
        *message = staleMessage(stale);
        return Outcome::Stale;
    }
    if (!db.commit()) {
        *message = db.lastError().text();
        db.rollback();
        return Outcome::Failed;
    }
    select();
    return Outcome::Saved;
}

bool GuardedTableModel::tellOutcome(QWidget *parent, Outcome outcome, const QString &message)
{
    if (outcome == Outcome::Saved) {
        return true;
    }
    Messages::warning(parent,
                      outcome == Outcome::Failed ? QStringLiteral("数据错误") : QStringLiteral("错误提示"),
                      message);
    return false;
}
