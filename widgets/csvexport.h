#pragma once

class QAbstractItemModel;
class QProgressBar;
class QString;
class QTableView;
class QTableWidget;
class QWidget;

// Writes the table a form shows to a CSV file that the user picks: a header
// line, then one line per row, fields separated by commas, every line ending
// in a line feed, in the system's 8-bit encoding without byte-order mark.
// A cancelled dialog writes nothing. The target is replaced only by a
// complete file; a file that cannot be written is reported with its path and
// the reason, and whatever was there before stays.
// A completed export says in the form's status bar where it wrote how many
// lines.
class CsvExport
{
public:
    // For forms whose table is a QTableWidget filled item by item.
    static void exportTable(QWidget *parent, QTableWidget *table);

    // For forms whose table is a view over a model. The header texts come
    // from the view, the rows from model; progressBar, if any, is shown while
    // the lines are written and hidden again afterwards.
    static void exportModel(QWidget *parent, QTableView *view, QAbstractItemModel *model,
                            QProgressBar *progressBar);

    // One field as it goes into the file. A text holding a comma, a double
    // quote or a line break is put in double quotes with its quotes doubled,
    // so that a spreadsheet keeps the columns; any other text stays as shown.
    static QString field(const QString &text);

    // The dialog opens in the folder of the last export, else the user's
    // documents folder; a completed export says in the form's status bar
    // where it wrote how many lines (doneText).
    static QString startFolder();
    static void rememberFolder(const QString &folder);
    static QString doneText(const QString &fileName, int rowCount);
};
