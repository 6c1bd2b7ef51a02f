#include "widgets/formguard.h"

#include "app/loginstate.h"
#include "widgets/messages.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCloseEvent>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QItemSelectionModel>
#include <QSettings>
#include <QShortcut>
#include <QStringList>

#include <memory>

namespace {

// Set on a form whose edits the user has already let go (or saved) for the
// close that follows.
const char *const answeredProperty = "jxcCloseAnswered";

UnsavedChanges *unsavedOf(QWidget *form)
{
    UnsavedChanges *changes = dynamic_cast<UnsavedChanges *>(form);
    return changes && changes->hasUnsavedChanges() ? changes : nullptr;
}

QAbstractButton *buttonNamed(QWidget *form, const QStringList &texts)
{
    for (const QString &text : texts) {
        const QList<QAbstractButton *> buttons = form->findChildren<QAbstractButton *>();
        for (QAbstractButton *button : buttons) {
            if (button->text() == text) {
                return button;
            }
        }
    }
    return nullptr;
}

void clickWhenUsable(QAbstractButton *button)
{
    if (button && button->isEnabled() && button->isVisibleTo(button->window())) {
        button->click();
    }
}

QString settingsKey(const QWidget *form)
{
    return QStringLiteral("forms/%1/%2/geometry")
        .arg(LoginState::userName.trimmed(), QString::fromLatin1(form->metaObject()->className()));
}

std::unique_ptr<QSettings> userSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("jxc"), QStringLiteral("jxc"));
}

// Asks before the form closes; keeps its geometry when it does.
class CloseFilter : public QObject
{
public:
    explicit CloseFilter(QObject *parent) : QObject(parent) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *form = qobject_cast<QWidget *>(watched);
        if (form && event->type() == QEvent::Close) {
            if (!FormGuard::confirmDiscard(form)) {
                event->ignore();
                return true;
            }
            FormGuard::saveGeometry(form);
        }
        return QObject::eventFilter(watched, event);
    }
};

// A click into a date editor selects the section under the cursor, so that
// typed digits replace it at once (otherwise a full section refuses them
// until it is selected by a double click).
class DateSectionFilter : public QObject
{
public:
    explicit DateSectionFilter(QObject *parent) : QObject(parent) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *edit = qobject_cast<QDateTimeEdit *>(watched);
        if (!edit && watched->parent()) {
            edit = qobject_cast<QDateTimeEdit *>(watched->parent());
        }
        if (edit && event->type() == QEvent::MouseButtonRelease) {
            edit->setSelectedSection(edit->currentSection());
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QString FormGuard::questionTitle()
{
    return QStringLiteral("保存提示");
}

QString FormGuard::questionText()
{
    return QStringLiteral("数据已修改，是否保存？");
}

void FormGuard::install(QWidget *form)
{
    bindShortcuts(form);
    form->installEventFilter(new CloseFilter(form));
    selectDateSections(form);
}

void FormGuard::selectDateSections(QWidget *form)
{
    auto *filter = new DateSectionFilter(form);
    const QList<QDateTimeEdit *> edits = form->findChildren<QDateTimeEdit *>();
    for (QDateTimeEdit *edit : edits) {
        // The editor's line edit receives the clicks.
        const QList<QLineEdit *> lines = edit->findChildren<QLineEdit *>();
        for (QLineEdit *line : lines) {
            line->installEventFilter(filter);
        }
        edit->installEventFilter(filter);
    }
}

void FormGuard::bindShortcuts(QWidget *form)
{
    bindShortcuts(form, buttonNamed(form, {QStringLiteral("保存")}),
                  buttonNamed(form, {QStringLiteral("查询"), QStringLiteral("查询采购单"),
                                     QStringLiteral("查询送货单"), QStringLiteral("汇总查询")}));
}

void FormGuard::bindShortcuts(QWidget *form, QAbstractButton *save, QAbstractButton *query)
{
    if (save) {
        auto *shortcut = new QShortcut(QKeySequence::Save, form);
        shortcut->setObjectName(QStringLiteral("saveShortcut"));
        QObject::connect(shortcut, &QShortcut::activated, save, [save] { clickWhenUsable(save); });
    }
    if (query) {
        auto *shortcut = new QShortcut(QKeySequence(Qt::Key_F5), form);
        shortcut->setObjectName(QStringLiteral("queryShortcut"));
        QObject::connect(shortcut, &QShortcut::activated, query, [query] { clickWhenUsable(query); });
    }
}

bool FormGuard::confirmDiscard(QWidget *form)
{
    if (form->property(answeredProperty).toBool()) {
        return true;
    }
    UnsavedChanges *changes = unsavedOf(form);
    if (!changes) {
        return true;
    }
    switch (Messages::question(form, questionTitle(), questionText(),
                               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel)) {
    case QMessageBox::Save:
        return changes->saveChanges();
    case QMessageBox::Cancel:
    case QMessageBox::NoButton:
    case QMessageBox::Escape:
        return false;
    default:
        // "不保存" (or any other way of letting go of the edits).
        return true;
    }
}

bool FormGuard::confirmDiscardAll(const QList<QWidget *> &forms)
{
    QList<QWidget *> unsaved;
    QStringList titles;
    for (QWidget *form : forms) {
        if (!form->property(answeredProperty).toBool() && unsavedOf(form)) {
            unsaved << form;
            titles << form->windowTitle();
        }
    }
    if (unsaved.isEmpty()) {
        return true;
    }
    const QString text = questionText() + QLatin1Char('\n')
                         + titles.join(QStringLiteral("、"));
    const QMessageBox::StandardButton answer = Messages::question(
        unsaved.first()->parentWidget(), questionTitle(), text,
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel || answer == QMessageBox::NoButton
        || answer == QMessageBox::Escape) {
        return false;
    }
    for (QWidget *form : qAsConst(unsaved)) {
        // A failed save keeps that form and the main window open.
        if (answer == QMessageBox::Save && !unsavedOf(form)->saveChanges()) {
            return false;
        }
        form->setProperty(answeredProperty, true);
    }
    return true;
}

bool FormGuard::restoreGeometry(QWidget *form)
{
    const QByteArray geometry = userSettings()->value(settingsKey(form)).toByteArray();
    return !geometry.isEmpty() && form->restoreGeometry(geometry);
}

void FormGuard::saveGeometry(QWidget *form)
{
    userSettings()->setValue(settingsKey(form), form->saveGeometry());
}

void FormGuard::showRow(QAbstractItemView *view, int row)
{
    const QModelIndex index = view->model()->index(row, 0);
    if (!index.isValid()) {
        return;
    }
    view->scrollTo(index);
    view->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect
                                              | QItemSelectionModel::Rows);
}
