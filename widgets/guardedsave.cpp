#include "widgets/guardedsave.h"

#include "db/gateway.h"
#include "db/sqltext.h"
#include "widgets/messages.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTableWidget>
#include <QSqlQuery>
#include <QTableWidgetItem>

#include <algorithm>

namespace GuardedSave {

namespace {

constexpr int StoredRole = Qt::UserRole + 40;
constexpr int ShownRole = Qt::UserRole + 41;

// A NULL is kept as a null value of its own, apart from an empty text.
QVariant keptValue(const QVariant &stored)
{
    return stored.isNull() ? QVariant(QStringLiteral("\x01null")) : stored;
}

class LoadedItem : public QTableWidgetItem
{
public:
    LoadedItem(const QString &shown, const QVariant &stored)
        : QTableWidgetItem(shown)
        , m_stored(keptValue(stored))
        , m_shown(shown)
    {
    }

    QVariant data(int role) const override
    {
        if (role == StoredRole) {
            return m_stored;
        }
        if (role == ShownRole) {
            return m_shown;
        }
        return QTableWidgetItem::data(role);
    }

    void setData(int role, const QVariant &value) override
    {
        if (role == StoredRole) {
            m_stored = value;
        } else if (role == ShownRole) {
            m_shown = value.toString();
        } else {
            QTableWidgetItem::setData(role, value);
        }
    }

    QTableWidgetItem *clone() const override { return new LoadedItem(*this); }

private:
    QVariant m_stored;
    QString m_shown;
};

} // namespace

void remember(QTableWidgetItem *item, const QVariant &stored)
{
    item->setData(StoredRole, keptValue(stored));
    item->setData(ShownRole, item->text());
}

QTableWidgetItem *loadedItem(const QString &shown, const QVariant &stored)
{
    return new LoadedItem(shown, stored);
}

QVariant loaded(const QTableWidgetItem *item)
{
    const QVariant stored = item ? item->data(StoredRole) : QVariant();
    if (stored.type() == QVariant::String && stored.toString() == QStringLiteral("\x01null")) {
        return QVariant(QVariant::String);
    }
    return stored;
}

bool changed(const QTableWidgetItem *item)
{
    return item && item->data(ShownRole).isValid() && item->text() != item->data(ShownRole).toString();
}

QString unchangedText(const QString &field, const QVariant &stored)
{
    if (stored.isNull()) {
        return QStringLiteral(" and %1 is null").arg(field);
    }
    return QStringLiteral(" and %1='%2'").arg(field, SqlText::quoted(stored.toString()));
}

QString unchangedNumber(const QString &field, const QVariant &stored)
{
    if (stored.isNull()) {
        return QStringLiteral(" and %1 is null").arg(field);
    }
    QString literal;
    if (stored.type() == QVariant::Double) {
        literal = QString::number(stored.toDouble(), 'g', QLocale::FloatingPointShortest);
    } else {
        bool ok = false;
        const double value = stored.toString().trimmed().toDouble(&ok);
        literal = ok ? QString::number(value, 'g', QLocale::FloatingPointShortest) : QStringLiteral("0");
    }
    return QStringLiteral(" and %1=%2").arg(field, literal);
}

Outcome run(const QVector<Write> &writes, QList<int> *staleRows, QString *error,
            const Sender &sendBlock)
{
    return run(
        [&writes](QVector<Write> *composed, QString *) {
            *composed = writes;
            return true;
        },
        staleRows, error, sendBlock);
}

Outcome run(const Composer &compose, QList<int> *staleRows, QString *error,
            const Sender &sendBlock)
{
    staleRows->clear();
    QSqlDatabase db = QSqlDatabase::database();
    const bool ok = Gateway::inTransaction(db, error, [&] {
        QVector<Write> writes;
        if (!compose(&writes, error)) {
            return false;
        }
        QStringList fresh;
        QVector<Write> guarded;
        for (const Write &write : qAsConst(writes)) {
            if (write.row < 0) {
                fresh << write.sql;
            } else {
                guarded << write;
            }
        }
        // Guarded statements go one at a time: only then does the count of
        // rows they touched belong to one row of the table, on every engine.
        QSqlQuery query(db);
        for (const Write &write : qAsConst(guarded)) {
            if (!Gateway::exec(query, write.sql, error)) {
                return false;
            }
            int touched = query.numRowsAffected();
            query.finish();
            if (touched < 0) {
                // A server session without row counts still keeps the
                // count of the last statement for the asking.
                if (!Gateway::exec(query, QStringLiteral("select @@rowcount"), error)) {
                    return false;
                }
                touched = query.next() ? query.value(0).toInt() : 0;
                query.finish();
            }
            if (touched == 0 && !staleRows->contains(write.row)) {
                staleRows->append(write.row);
            }
        }
        if (!staleRows->isEmpty()) {
            return false;
        }
        for (int first = 0; first < fresh.size(); first += Gateway::BlockSize) {
            const QString block = fresh.mid(first, Gateway::BlockSize).join(QString());
            const bool sent = sendBlock ? sendBlock(block, error) : Gateway::exec(block, error, db);
            if (!sent) {
                return false;
            }
        }
        return true;
    });
    if (ok) {
        return Outcome::Saved;
    }
    std::sort(staleRows->begin(), staleRows->end());
    return staleRows->isEmpty() ? Outcome::Failed : Outcome::Stale;
}

QString unstorableText(const QTableWidget *table, const QVector<TextColumn> &columns)
{
    for (int row = 0; row < table->rowCount(); ++row) {
        for (const TextColumn &column : columns) {
            const QTableWidgetItem *item = table->item(row, column.column);
            if (item && item->text().contains(QChar(0))) {
                return QStringLiteral("第%1行“%2”不能含有空字符").arg(row + 1).arg(column.header);
            }
        }
    }
    return QString();
}

QString explained(const QString &engineText, const QTableWidget *table,
                  const QVector<TextColumn> &columns)
{
    static const QRegularExpression tooLong(QStringLiteral("length\\((\\w+)\\)\\s*<=\\s*(\\d+)"));
    const QRegularExpressionMatch match = tooLong.match(engineText);
    if (!match.hasMatch()) {
        return engineText;
    }
    const int limit = match.captured(2).toInt();
    for (const TextColumn &column : columns) {
        if (column.field.compare(match.captured(1), Qt::CaseInsensitive) != 0) {
            continue;
        }
        for (int row = 0; row < table->rowCount(); ++row) {
            const QTableWidgetItem *item = table->item(row, column.column);
            if (item && item->text().size() > limit) {
                return QStringLiteral("第%1行“%2”不能超过%3个字符\n%4")
                    .arg(row + 1)
                    .arg(column.header)
                    .arg(limit)
                    .arg(engineText);
            }
        }
    }
    return engineText;
}

QString staleText(const QList<int> &rows)
{
    QStringList numbers;
    for (const int row : rows) {
        numbers << QString::number(row + 1);
    }
    return QStringLiteral("第%1行已被其他用户修改，请重新查询后再保存！")
        .arg(numbers.join(QStringLiteral("、")));
}

bool told(QWidget *parent, Outcome outcome, const QList<int> &staleRows, const QString &error,
          const QString &title)
{
    switch (outcome) {
    case Outcome::Saved:
        return true;
    case Outcome::Stale:
        Messages::warning(parent, title, staleText(staleRows));
        return false;
    case Outcome::Failed:
        Messages::databaseError(parent, error);
        return false;
    }
    return false;
}

} // namespace GuardedSave
