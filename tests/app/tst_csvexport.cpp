#include "support/messagerecorder.h"
#include "widgets/csvexport.h"
#include "widgets/filedialogs.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QProgressBar>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

// A form as the exporting forms have one: a window with a table and, for
// the model variant, a progress bar that is hidden while idle.
class ExportForm : public QMainWindow
{
    Q_OBJECT
public:
    ExportForm()
    {
        setObjectName(QStringLiteral("goods"));
        table = new QTableWidget(this);
        view = new QTableView(this);
        model = new QStandardItemModel(this);
        view->setModel(model);
        progressBar = new QProgressBar(this);
        progressBar->hide();
    }
    QTableWidget *table;
    QTableView *view;
    QStandardItemModel *model;
    QProgressBar *progressBar;
};

// Answers the save dialog with fileName and remembers how it was asked,
// "caption|start folder|filter" per call.
struct SaveDialogAnswer
{
    explicit SaveDialogAnswer(const QString &fileName)
    {
        FileDialogs::setHandler([this, fileName](FileDialogs::Kind, QWidget *parent, const QString &caption,
                                                 const QString &dir, const QString &filter) {
            parents << parent;
            calls << QStringList{caption, dir, filter}.join(QLatin1Char('|'));
            return fileName;
        });
    }
    ~SaveDialogAnswer() { FileDialogs::setHandler(FileDialogs::Handler()); }
    QList<QWidget *> parents;
    QStringList calls;
};

void fill(QTableWidget *table, const QStringList &headers, const QList<QStringList> &rows)
{
    table->setColumnCount(headers.size());
    table->setHorizontalHeaderLabels(headers);
    table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows.at(r).size(); ++c) {
            // "<none>" leaves the cell without an item.
            if (rows.at(r).at(c) != QLatin1String("<none>")) {
                table->setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
            }
        }
    }
}

void fill(QStandardItemModel *model, const QStringList &headers, const QList<QStringList> &rows)
{
    model->clear();
    model->setColumnCount(headers.size());
    model->setHorizontalHeaderLabels(headers);
    for (const QStringList &row : rows) {
        QList<QStandardItem *> items;
        for (const QString &text : row) {
            items << new QStandardItem(text);
        }
        model->appendRow(items);
    }
}

} // namespace

class tst_csvexport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void writes_data();
    void writes();
    void nothingIsWritten_data();
    void nothingIsWritten();

private:
    QTemporaryDir m_settings;
};

void tst_csvexport::writes_data()
{
    QTest::addColumn<bool>("viaModel");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QString>("expected");

    const QStringList goodsHeaders = {"代码", "名称", "单位", "价格", "选择"};
    for (const bool viaModel : {false, true}) {
        const char *kind = viaModel ? "model" : "table";
        QTest::addRow("%s: empty table, header line only", kind)
            << viaModel << goodsHeaders << QList<QStringList>() << "代码,名称,单位,价格,选择\n";
        QTest::addRow("%s: two rows, last field empty", kind)
            << viaModel << goodsHeaders
            << QList<QStringList>{{"1", "大米", "袋", "12.50", QString()}, {"2", "面粉", "包", "8.00", QString()}}
            << "代码,名称,单位,价格,选择\n1,大米,袋,12.50,\n2,面粉,包,8.00,\n";
        QTest::addRow("%s: comma in a cell is quoted", kind)
            << viaModel << QStringList{"名称", "备注"} << QList<QStringList>{{"大米", "东北,五常"}}
            << "名称,备注\n大米,\"东北,五常\"\n";
        QTest::addRow("%s: quotes in a cell are doubled", kind)
            << viaModel << QStringList{"名称", "备注"} << QList<QStringList>{{"大米", "\"特级\"米"}}
            << "名称,备注\n大米,\"\"\"特级\"\"米\"\n";
        QTest::addRow("%s: line break in a cell is quoted", kind)
            << viaModel << QStringList{"名称", "备注"} << QList<QStringList>{{"大米", "第一行\n第二行"}}
            << "名称,备注\n大米,\"第一行\n第二行\"\n";
        QTest::addRow("%s: comma in a header is quoted", kind)
            << viaModel << QStringList{"金额,元", "备注"} << QList<QStringList>{{"3.00", "无"}}
            << "\"金额,元\",备注\n3.00,无\n";
        QTest::addRow("%s: blanks stay as they are", kind)
            << viaModel << QStringList{"名称"} << QList<QStringList>{{"  大米 "}} << "名称\n  大米 \n";
    }
    QTest::newRow("table: cell without an item")
        << false << QStringList{"a", "b", "c"} << QList<QStringList>{{"<none>", "x", "<none>"}} << "a,b,c\n,x,\n";
}

// The dialog asks in the start folder; the file is written under the name
// given (no suffix added) in the local 8-bit encoding without a byte order
// mark, lines ending in a bare line feed, and replaces what it held before.
void tst_csvexport::writes()
{
    QFETCH(bool, viaModel);
    QFETCH(QStringList, headers);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("liste"));
    {
        QFile old(fileName);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older and much longer content\nwith two lines, longer than any of the expected files\n");
    }
    ExportForm form;
    SaveDialogAnswer answer(fileName);
    MessageRecorder messages;
    const QString asked = QStringLiteral("excel file|%1|files(*.csv)").arg(CsvExport::startFolder());
    if (viaModel) {
        // The progress bar shows while writing, from 0 to the row count.
        form.show();
        QList<int> values;
        connect(form.progressBar, &QProgressBar::valueChanged, this, [&](int value) {
            values << (form.progressBar->isVisible() ? value : -1);
        });
        fill(form.model, headers, rows);
        CsvExport::exportModel(&form, form.view, form.model, form.progressBar);
        QVERIFY(form.progressBar->isHidden());
        QCOMPARE(form.progressBar->maximum(), rows.size());
        QList<int> counted;
        for (int i = 0; i <= rows.size(); ++i) {
            counted << i;
        }
        QCOMPARE(values, counted);
    } else {
        fill(form.table, headers, rows);
        CsvExport::exportTable(&form, form.table);
    }

    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QCOMPARE(written, QTextCodec::codecForLocale()->fromUnicode(expected));
    QVERIFY(!written.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!written.contains('\r'));
    QVERIFY(messages.isEmpty());
    QCOMPARE(answer.parents, QList<QWidget *>{&form});
    QCOMPARE(answer.calls, QStringList{asked});
    QVERIFY(!QFile::exists(fileName + QStringLiteral(".csv")));
}

void tst_csvexport::initTestCase()
{
    // The remembered export folder goes to a settings file of the test's own.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
}

void tst_csvexport::nothingIsWritten_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("the dialog is cancelled") << QString();
    // A folder that does not exist cannot take the file, whoever runs the test.
    QTest::newRow("the file cannot be written") << "missing/out.csv";
}

void tst_csvexport::nothingIsWritten()
{
    QFETCH(QString, answer);

    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    ExportForm form;
    fill(form.table, {"a"}, {{"1"}});
    fill(form.model, {"a"}, {{"1"}});
    SaveDialogAnswer dialog(answer.isEmpty() ? answer : dir.filePath(answer));
    MessageRecorder messages;

    CsvExport::exportTable(&form, form.table);
    CsvExport::exportModel(&form, form.view, form.model, form.progressBar);

    QDir::setCurrent(before);
    QCOMPARE(dialog.calls.size(), 2);
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    // A file that cannot be written is reported, once per export.
    QCOMPARE(messages.count(), answer.isEmpty() ? 0 : 2);
    QVERIFY(form.progressBar->isHidden());
    if (answer.isEmpty()) {
        QCOMPARE(form.progressBar->value(), -1);
    }
}

QTEST_MAIN(tst_csvexport)
#include "tst_csvexport.moc"
