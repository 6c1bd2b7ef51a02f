#include "support/messagerecorder.h"
#include "widgets/csvexport.h"
#include "widgets/filedialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QProgressBar>
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

struct DialogCall
{
    QWidget *parent = nullptr;
    QString caption;
    QString dir;
    QString filter;
    int count = 0;
};

// Answers the save dialog with fileName and remembers how it was asked.
class SaveDialogAnswer
{
public:
    explicit SaveDialogAnswer(const QString &fileName)
    {
        FileDialogs::setHandler([this, fileName](FileDialogs::Kind, QWidget *parent, const QString &caption,
                                                 const QString &dir, const QString &filter) {
            call.parent = parent;
            call.caption = caption;
            call.dir = dir;
            call.filter = filter;
            ++call.count;
            return fileName;
        });
    }
    ~SaveDialogAnswer() { FileDialogs::setHandler(FileDialogs::Handler()); }
    DialogCall call;
};

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray("<missing>");
    }
    return file.readAll();
}

QByteArray local8Bit(const QString &text)
{
    return QTextCodec::codecForLocale()->fromUnicode(text);
}

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
    void tableWidget_data();
    void tableWidget();
    void model_data();
    void model();
    void asksForTheFileInTheProgramFolder();
    void cancelWritesNothing();
    void unwritableFileWritesNothing();
    void replacesAnExistingFile();
    void progressBarRunsToTheRowCount();

private:
    void addCases();
};

void tst_csvexport::addCases()
{
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QString>("expected");

    const QStringList goodsHeaders = {QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("单位"),
                                      QStringLiteral("价格"), QStringLiteral("选择")};
    QTest::newRow("empty table: header line only")
        << goodsHeaders << QList<QStringList>()
        << QStringLiteral("代码,名称,单位,价格,选择\n");
    QTest::newRow("two rows, last field empty")
        << goodsHeaders
        << QList<QStringList>{{QStringLiteral("1"), QStringLiteral("大米"), QStringLiteral("袋"), QStringLiteral("12.50"), QString()},
                              {QStringLiteral("2"), QStringLiteral("面粉"), QStringLiteral("包"), QStringLiteral("8.00"), QString()}}
        << QStringLiteral("代码,名称,单位,价格,选择\n1,大米,袋,12.50,\n2,面粉,包,8.00,\n");
    QTest::newRow("comma in a cell is quoted")
        << QStringList{QStringLiteral("名称"), QStringLiteral("备注")}
        << QList<QStringList>{{QStringLiteral("大米"), QStringLiteral("东北,五常")}}
        << QStringLiteral("名称,备注\n大米,\"东北,五常\"\n");
    QTest::newRow("quotes in a cell are doubled")
        << QStringList{QStringLiteral("名称"), QStringLiteral("备注")}
        << QList<QStringList>{{QStringLiteral("大米"), QStringLiteral("\"特级\"米")}}
        << QStringLiteral("名称,备注\n大米,\"\"\"特级\"\"米\"\n");
    QTest::newRow("line break in a cell is quoted")
        << QStringList{QStringLiteral("名称"), QStringLiteral("备注")}
        << QList<QStringList>{{QStringLiteral("大米"), QStringLiteral("第一行\n第二行")}}
        << QStringLiteral("名称,备注\n大米,\"第一行\n第二行\"\n");
    QTest::newRow("comma in a header is quoted")
        << QStringList{QStringLiteral("金额,元"), QStringLiteral("备注")}
        << QList<QStringList>{{QStringLiteral("3.00"), QStringLiteral("无")}}
        << QStringLiteral("\"金额,元\",备注\n3.00,无\n");
    QTest::newRow("blanks stay as they are")
        << QStringList{QStringLiteral("名称")}
        << QList<QStringList>{{QStringLiteral("  大米 ")}}
        << QStringLiteral("名称\n  大米 \n");
}

void tst_csvexport::tableWidget_data()
{
    addCases();
    QTest::newRow("cell without an item")
        << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}
        << QList<QStringList>{{QStringLiteral("<none>"), QStringLiteral("x"), QStringLiteral("<none>")}}
        << QStringLiteral("a,b,c\n,x,\n");
}

void tst_csvexport::tableWidget()
{
    QFETCH(QStringList, headers);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.csv"));
    ExportForm form;
    fill(form.table, headers, rows);
    SaveDialogAnswer answer(fileName);
    MessageRecorder messages;

    CsvExport::exportTable(&form, form.table);

    const QByteArray written = readAll(fileName);
    QCOMPARE(written, local8Bit(expected));
    QVERIFY(!written.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!written.contains('\r') || expected.contains(QLatin1Char('\r')));
    QVERIFY(messages.isEmpty());
}

void tst_csvexport::model_data()
{
    addCases();
}

void tst_csvexport::model()
{
    QFETCH(QStringList, headers);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.csv"));
    ExportForm form;
    fill(form.model, headers, rows);
    SaveDialogAnswer answer(fileName);
    MessageRecorder messages;

    CsvExport::exportModel(&form, form.view, form.model, form.progressBar);

    QCOMPARE(readAll(fileName), local8Bit(expected));
    QVERIFY(form.progressBar->isHidden());
    QVERIFY(messages.isEmpty());
}

void tst_csvexport::asksForTheFileInTheProgramFolder()
{
    QTemporaryDir dir;
    ExportForm form;
    fill(form.table, {QStringLiteral("a")}, {});
    SaveDialogAnswer answer(dir.filePath(QStringLiteral("x.csv")));

    CsvExport::exportTable(&form, form.table);

    QCOMPARE(answer.call.count, 1);
    QCOMPARE(answer.call.parent, &form);
    QCOMPARE(answer.call.caption, QStringLiteral("excel file"));
    QCOMPARE(answer.call.dir, QCoreApplication::applicationDirPath());
    QCOMPARE(answer.call.filter, QStringLiteral("files(*.csv)"));
    // The name is used as given: no suffix is added.
    QTemporaryDir dir2;
    SaveDialogAnswer plain(dir2.filePath(QStringLiteral("liste")));
    CsvExport::exportTable(&form, form.table);
    QVERIFY(QFile::exists(dir2.filePath(QStringLiteral("liste"))));
    QVERIFY(!QFile::exists(dir2.filePath(QStringLiteral("liste.csv"))));
}

void tst_csvexport::cancelWritesNothing()
{
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    ExportForm form;
    fill(form.table, {QStringLiteral("a")}, {{QStringLiteral("1")}});
    fill(form.model, {QStringLiteral("a")}, {{QStringLiteral("1")}});
    SaveDialogAnswer answer{QString()};
    MessageRecorder messages;

    CsvExport::exportTable(&form, form.table);
    CsvExport::exportModel(&form, form.view, form.model, form.progressBar);

    QDir::setCurrent(before);
    QCOMPARE(answer.call.count, 2);
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    QVERIFY(messages.isEmpty());
    QVERIFY(form.progressBar->isHidden());
    QCOMPARE(form.progressBar->value(), -1);
}

void tst_csvexport::unwritableFileWritesNothing()
{
    QTemporaryDir dir;
    // A folder that does not exist cannot take the file, whoever runs the test.
    const QString fileName = dir.filePath(QStringLiteral("missing/out.csv"));
    ExportForm form;
    fill(form.table, {QStringLiteral("a")}, {{QStringLiteral("1")}});
    fill(form.model, {QStringLiteral("a")}, {{QStringLiteral("1")}});
    SaveDialogAnswer answer(fileName);
    MessageRecorder messages;

    CsvExport::exportTable(&form, form.table);
    CsvExport::exportModel(&form, form.view, form.model, form.progressBar);

    QVERIFY(!QFile::exists(fileName));
    QVERIFY(messages.isEmpty());
    QVERIFY(form.progressBar->isHidden());
}

void tst_csvexport::replacesAnExistingFile()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.csv"));
    {
        QFile old(fileName);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older and much longer content\nwith two lines\n");
    }
    ExportForm form;
    fill(form.table, {QStringLiteral("a")}, {{QStringLiteral("1")}});
    SaveDialogAnswer answer(fileName);

    CsvExport::exportTable(&form, form.table);

    QCOMPARE(readAll(fileName), QByteArray("a\n1\n"));
}

void tst_csvexport::progressBarRunsToTheRowCount()
{
    QTemporaryDir dir;
    ExportForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.progressBar->hide();
    fill(form.model, {QStringLiteral("a"), QStringLiteral("b")},
         {{QStringLiteral("1"), QStringLiteral("x")}, {QStringLiteral("2"), QStringLiteral("y")},
          {QStringLiteral("3"), QStringLiteral("z")}});
    QList<int> values;
    QList<bool> shownWhileWriting;
    connect(form.progressBar, &QProgressBar::valueChanged, this, [&](int value) {
        values << value;
        shownWhileWriting << form.progressBar->isVisible();
    });
    SaveDialogAnswer answer(dir.filePath(QStringLiteral("out.csv")));

    CsvExport::exportModel(&form, form.view, form.model, form.progressBar);

    QCOMPARE(values, (QList<int>{0, 1, 2, 3}));
    QVERIFY(!shownWhileWriting.contains(false));
    QCOMPARE(form.progressBar->minimum(), 0);
    QCOMPARE(form.progressBar->maximum(), 3);
    QCOMPARE(form.progressBar->value(), 3);
    QVERIFY(form.progressBar->isHidden());
}

QTEST_MAIN(tst_csvexport)
#include "tst_csvexport.moc"
