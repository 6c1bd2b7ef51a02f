// Everyday use: Qt's Chinese texts, the question before unsaved edits are
// lost, Ctrl+S and F5, the paper of a PDF, where an export goes.
#include "app/shell/formcatalog.h"
#include "master/goods.h"
#include "stock/ordertesthelpers.h"
#include "stock/inventory.h"
#include "stock/orderprintstate.h"
#include "stock/printdb2.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "widgets/csvexport.h"
#include "widgets/filedialogs.h"
#include "widgets/formguard.h"
#include "widgets/translations.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

void addGoodsRow(goods &form, const QString &code, const QString &name)
{
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(code);
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit_2"))->setText(name);
    form.findChild<QComboBox *>(QStringLiteral("comboBox"))->setEditText(QStringLiteral("箱"));
    form.findChild<QComboBox *>(QStringLiteral("comboBox_2"))->setEditText(QStringLiteral("饮料"));
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
}

// The controls a clerk clicks, types into or reads (the parts of a combo box,
// date editor or table belong to it, as do those of any control that takes
// the focus) that overlap another, stick out of what holds them or are
// narrower than their text.
QStringList layoutFaults(QWidget *form)
{
    QList<QWidget *> controls;
    for (QWidget *w : form->findChildren<QWidget *>()) {
        QWidget *p = w->parentWidget();
        while (p != form && p->focusPolicy() == Qt::NoFocus) {
            p = p->parentWidget();
        }
        if (p == form && w->isVisibleTo(form) && (w->focusPolicy() != Qt::NoFocus || qobject_cast<QLabel *>(w))) {
            controls << w;
        }
    }
    QStringList faults;
    for (QWidget *w : qAsConst(controls)) {
        const QRect whole(w->mapTo(form, QPoint()), w->size());
        QRect shown = w->rect();
        for (QWidget *p = w; p != form; p = p->parentWidget()) {
            shown = shown.translated(p->pos()) & p->parentWidget()->rect();
        }
        // A push button's least width is the style's, more than its text needs.
        if (shown != whole || (w->width() < w->minimumSizeHint().width() && !qobject_cast<QPushButton *>(w))) {
            faults << w->objectName();
        }
        for (QWidget *other : qAsConst(controls)) {
            if (other < w && whole.intersects(QRect(other->mapTo(form, QPoint()), other->size()))) {
                faults << w->objectName() + QLatin1Char('/') + other->objectName();
            }
        }
    }
    return faults;
}

} // namespace

class tst_usability : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void standardButtonsSpeakChinese();
    void closingAsksAboutUnsavedRows_data();
    void closingAsksAboutUnsavedRows();
    void mainWindowAsksOnceForAllForms();
    void shortcutsClickSaveAndQuery();
    void pdfKeepsThePaperOfTheFormat_data();
    void pdfKeepsThePaperOfTheFormat();
    void exportStartsInTheLastFolderAndSaysWhereItWrote();
    void everyFormFitsASmallScreen_data();
    void everyFormFitsASmallScreen();

private:
    QTemporaryDir m_settings;
    std::unique_ptr<TestDb> m_db;
};

void tst_usability::initTestCase()
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
}

void tst_usability::init()
{
    // The forms are laid out with the demo company's names in their boxes.
    m_db.reset(new TestDb(qstrcmp(QTest::currentTestFunction(), "everyFormFitsASmallScreen") == 0));
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
}

void tst_usability::cleanup()
{
    m_db.reset();
    FileDialogs::setHandler(FileDialogs::Handler());
}

void tst_usability::standardButtonsSpeakChinese()
{
    const bool loaded = Translations::loadChinese(qApp);
    // The program's own texts are Chinese with or without Qt's catalogue.
    QCOMPARE(QCoreApplication::translate("goods", "excel file"), QStringLiteral("导出到 Excel 文件"));
    if (!loaded) {
        QSKIP("Qt's Chinese catalogue (qttranslations5-l10n) is not installed");
    }
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    QCOMPARE(QLocale().name(), QStringLiteral("zh_CN"));
}

void tst_usability::closingAsksAboutUnsavedRows_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("保存") << QMessageBox::Save << true << "1";
    QTest::newRow("不保存") << QMessageBox::Discard << true << "0";
    QTest::newRow("取消") << QMessageBox::Cancel << false << "0";
}

void tst_usability::closingAsksAboutUnsavedRows()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, closed);
    QFETCH(QString, stored);

    MessageRecorder messages;
    goods form;
    FormGuard::install(&form);
    form.show();
    // Nothing changed: no question.
    QVERIFY(form.close());
    QVERIFY(messages.isEmpty());

    form.show();
    addGoodsRow(form, QStringLiteral("7"), QStringLiteral("可乐"));
    messages.answerNext(answer);
    QCOMPARE(form.close(), closed);
    QCOMPARE(messages.texts().first(), FormGuard::questionTitle() + QLatin1Char('/') + FormGuard::questionText());
    QCOMPARE(m_db->scalar(QStringLiteral("select count(0) from food_info where food_id=7")), stored);
}

void tst_usability::mainWindowAsksOnceForAllForms()
{
    MessageRecorder messages;
    goods first, second, clean;
    addGoodsRow(first, QStringLiteral("7"), QStringLiteral("可乐"));
    addGoodsRow(second, QStringLiteral("8"), QStringLiteral("雪碧"));

    messages.answerNext(QMessageBox::Cancel);
    QVERIFY(!FormGuard::confirmDiscardAll({&first, &second, &clean}));
    messages.answerNext(QMessageBox::Discard);
    QVERIFY(FormGuard::confirmDiscardAll({&first, &second, &clean}));
    QCOMPARE(messages.count(), 2);
    // The forms let go do not ask again when they close.
    QVERIFY(FormGuard::confirmDiscard(&first) && FormGuard::confirmDiscard(&second));
    QCOMPARE(messages.count(), 2);
}

void tst_usability::shortcutsClickSaveAndQuery()
{
    MessageRecorder messages;
    inventory form;
    FormGuard::install(&form);
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));

    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(messages.texts(), QStringList{"保存提示/保存成功！"});

    // F5 reads the table again: a row typed in but not saved makes it ask.
    messages.clear();
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("1001"));
    form.findChild<QLineEdit *>(QStringLiteral("lineEdit_4"))->setText(QStringLiteral("2"));
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("pushButton_5")), Qt::LeftButton);
    messages.answerNext(QMessageBox::Cancel);
    QTest::keyClick(&form, Qt::Key_F5);
    QCOMPARE(messages.texts(), QStringList{FormGuard::questionTitle() + QLatin1Char('/') + FormGuard::questionText()});
    QCOMPARE(form.findChild<QTableWidget *>(QStringLiteral("tableWidget"))->rowCount(), 1);
}

void tst_usability::pdfKeepsThePaperOfTheFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QSizeF>("paper");
    QTest::newRow("半联") << "半联" << QSizeF(210, 139);
    QTest::newRow("全联") << "全联" << QSizeF(210, 279);
}

void tst_usability::pdfKeepsThePaperOfTheFormat()
{
    QFETCH(QString, format);
    QFETCH(QSizeF, paper);
    QVERIFY(OrderTest::seedMasterData(*m_db));
    QVERIFY(OrderTest::addLines(*m_db, QStringLiteral("purchar"), QStringLiteral("cg1"), QStringLiteral("2024-03-05"), 12, 3));
    OrderPrintState::setFormat(format);
    OrderPrintState::orderNumber = QStringLiteral("cg1");

    // As the preview's print dialog leaves a PDF printer: on A4.
    QTemporaryDir dir;
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFileName(dir.filePath(QStringLiteral("order.pdf")));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printdb2 print;
    print.printDocument(&printer);

    QFile pdf(dir.filePath(QStringLiteral("order.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    // The media box in points: 210 mm is 595 points.
    QVERIFY(pdf.readAll().contains(
        QStringLiteral("/MediaBox [0 0 595.000000 %1.000000]").arg(qRound(paper.height() * 72 / 25.4)).toLatin1()));
}

void tst_usability::exportStartsInTheLastFolderAndSaysWhereItWrote()
{
    QMainWindow form;
    auto *table = new QTableWidget(2, 1, &form);
    form.setCentralWidget(table);
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("list.csv"));
    QStringList folders;
    FileDialogs::setHandler([&](FileDialogs::Kind, QWidget *, const QString &, const QString &folder,
                                const QString &) {
        folders << folder;
        return fileName;
    });

    CsvExport::exportTable(&form, table);
    CsvExport::exportTable(&form, table);

    QCOMPARE(folders, (QStringList{QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                   dir.path()}));
    QCOMPARE(form.statusBar()->currentMessage(), CsvExport::doneText(fileName, 2));
}

void tst_usability::everyFormFitsASmallScreen_data()
{
    QTest::addColumn<QString>("formClass");
    for (const QString &name : FormCatalog::names()) {
        QTest::newRow(qPrintable(name)) << name;
    }
}

void tst_usability::everyFormFitsASmallScreen()
{
    QFETCH(QString, formClass);
    MessageRecorder messages;
    std::unique_ptr<QWidget> form(FormCatalog::factory(formClass)(nullptr));
    // 1024 x 768 less the task bar and the window's title.
    const QSize screen(1024, 700);
    form->resize(screen);
    form->show();
    QCOMPARE(form->size(), form->size().boundedTo(screen));
    QCOMPARE(layoutFaults(form.get()).join(QLatin1Char(' ')), QString());
    QVERIFY(messages.isEmpty());
}

QTEST_MAIN(tst_usability)
#include "tst_usability.moc"
