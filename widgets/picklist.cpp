#include "widgets/picklist.h"

#include <QComboBox>
#include <QCompleter>
#include <QSqlQuery>
#include <QStringList>

namespace PickList {

namespace {

QStringList textsOf(const QString &sql)
{
    QStringList texts;
    QSqlQuery query;
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        return texts;
    }
    // Every result is listed, an empty one too, in the order returned.
    while (query.next()) {
        texts << query.value(0).toString();
    }
    return texts;
}

} // namespace

void fill(QComboBox *box, const QString &sql)
{
    box->clear();
    box->addItem(QString());
    box->addItems(textsOf(sql));
}

void fillSearchable(QComboBox *box, const QString &sql)
{
    const QStringList texts = textsOf(sql);
    box->setEditable(true);
    // A typed filter is a search, not a new entry of the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->clear();
    box->addItem(QString());
    box->addItems(texts);

    auto *completer = new QCompleter(texts, box);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    box->setCompleter(completer);
}

} // namespace PickList
