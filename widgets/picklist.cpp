#include "widgets/picklist.h"

#include "db/gateway.h"
#include "widgets/messages.h"

#include <QComboBox>
#include <QCompleter>
#include <QSqlQuery>
#include <QStringList>

namespace PickList {

namespace {

// Every result is listed, an empty one too, in the order returned. A list
// that cannot be read is said to be so rather than offered empty.
QStringList textsOf(QComboBox *box, const QString &sql)
{
    QStringList texts;
    QString error;
    if (!Gateway::readTexts(sql, &texts, &error)) {
        Messages::databaseError(box->window(), error);
    }
    return texts;
}

} // namespace

void fill(QComboBox *box, const QString &sql)
{
    box->clear();
    box->addItem(QString());
    box->addItems(textsOf(box, sql));
}

void fillSearchable(QComboBox *box, const QString &sql)
{
    const QStringList texts = textsOf(box, sql);
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
