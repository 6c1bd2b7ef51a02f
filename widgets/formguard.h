#pragma once

#include <QList>
#include <QString>

class QAbstractButton;
class QAbstractItemView;
class QWidget;

// A form that holds edits not yet written implements this, so that closing
// it (or the main window) asks before the edits are lost.
class UnsavedChanges
{
public:
    virtual ~UnsavedChanges() = default;
    virtual bool hasUnsavedChanges() const = 0;
    // Writes the edits as the form's "保存" does; false when they could not
    // be written (the form has told the user why).
    virtual bool saveChanges() = 0;
};

// What every opened form gets from the main window: Ctrl+S and F5 for its
// save and query buttons, a question before unsaved edits are closed away,
// and its size and position kept per user.
namespace FormGuard {

// The title and text of the question asked before edits are dropped.
QString questionTitle();
QString questionText();

// All of the below at once.
void install(QWidget *form);

// Ctrl+S clicks the "保存" button, F5 the query button ("查询",
// "查询采购单", "查询送货单" or "汇总查询"); either may be missing.
void bindShortcuts(QWidget *form);
void bindShortcuts(QWidget *form, QAbstractButton *save, QAbstractButton *query);

// Typed digits replace the date section clicked into.
void selectDateSections(QWidget *form);

// Asks "数据已修改，是否保存？" when the form has unsaved changes; true when
// the caller may go on (nothing to lose, saved, or the user chose to drop
// the edits), false when the user cancelled or the save failed.
bool confirmDiscard(QWidget *form);

// The same for several forms at once, asked once: the main window closing.
// The forms it lets go close afterwards without asking again.
bool confirmDiscardAll(const QList<QWidget *> &forms);

// Size and position of a form, per user and form class. restoreGeometry
// tells whether there was a saved one.
bool restoreGeometry(QWidget *form);
void saveGeometry(QWidget *form);

// Selects a row (the one just added) and scrolls it into view.
void showRow(QAbstractItemView *view, int row);

} // namespace FormGuard
