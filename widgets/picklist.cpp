#include "widgets/picklist.h"

#include "db/gateway.h"
#include "widgets/messages.h"

#include <QComboBox>
#include <QAbstractItemView>
#include <QCompleter>
#include <QFontMetrics>
#include <QSqlQuery>
#include <QStringList>

namespace PickList {

namespace {

// Every result is listed, an empty one too, in the order returned. A list
// that cannot be read is said to be so rather than offered empty.
QStringList textsOf(QComboBox *box, const QString &sql, bool *read = nullptr)
{
    QStringList texts;
    QString error;
    const bool ok = Gateway::readTexts(sql, &texts, &error);
    if (!ok) {
        Messages::databaseError(box->window(), error);
    }
    if (read) {
        *read = ok;
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

bool fillSearchable(QComboBox *box, const QString &sql)
{
    bool read = false;
    const QStringList texts = textsOf(box, sql, &read);
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
    widenPopup(box, texts);
    return read;
}

void widenPopup(QComboBox *box, const QStringList &texts)
{
    QCompleter *completer = box->completer();
    if (!completer) {
        return;
    }
    int widest = 0;
    const QFontMetrics metrics(completer->popup()->font());
    for (const QString &text : texts) {
        widest = qMax(widest, metrics.horizontalAdvance(text));
    }
    // Room for the frame and the scroll bar besides the longest entry.
    completer->popup()->setMinimumWidth(widest + 40);
}

} // namespace PickList
