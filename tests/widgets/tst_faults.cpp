// Failures are said: a list or report that cannot be read shows "错误提示"
// with the database's text instead of an empty table, and an export that
// cannot be completed leaves the previous file and names the reason.

#include "admin/rizhi.h"
#include "app/loginstate.h"
#include "master/employee.h"
#include "master/goods.h"
#include "stock/inventory.h"
#include "stock/profit.h"
#include "stock/purchar.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "widgets/csvexport.h"
#include "widgets/filedialogs.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

class tst_faults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void failedReadsAreSaid_data();
    void failedReadsAreSaid();
    void fullDiskKeepsTheOldExport();
    void unstorableTextsAreNamed_data();
    void unstorableTextsAreNamed();

private:
    TestDb *m_db = nullptr;
};

void tst_faults::init()
{
    m_db = new TestDb;
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    LoginState::userName = QStringLiteral("test001");
}

void tst_faults::cleanup()
{
    delete m_db;
    m_db = nullptr;
    LoginState::userName.clear();
}

void tst_faults::failedReadsAreSaid_data()
{
    // The table a form reads is gone, as on a damaged database.
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("button");
    QTest::newRow("master table") << "food_info" << "goods" << "";
    QTest::newRow("name list") << "employee" << "employee" << "";
    QTest::newRow("order list") << "purchar" << "purchar" << "pushButton_3";
    QTest::newRow("stock register") << "inventory" << "inventory" << "pushButton_4";
    QTest::newRow("report") << "sell" << "profit" << "pushButton";
    QTest::newRow("operation log") << "operator" << "rizhi" << "pushButton";
}

void tst_faults::failedReadsAreSaid()
{
    QFETCH(QString, dropped);
    QFETCH(QString, form);
    QFETCH(QString, button);
    QVERIFY(m_db->exec(QStringLiteral("drop table %1").arg(dropped)));

    static const QMap<QString, std::function<QWidget *()>> forms{
        {"goods", [] { return new goods; }},         {"employee", [] { return new employee; }},
        {"purchar", [] { return new purchar; }},     {"inventory", [] { return new inventory; }},
        {"profit", [] { return new profit; }},       {"rizhi", [] { return new rizhi; }}};
    MessageRecorder messages;
    const std::unique_ptr<QWidget> window(forms.value(form)());
    if (!button.isEmpty()) {
        QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
    }
    QVERIFY(!messages.isEmpty());
    QCOMPARE(messages.last().title, QStringLiteral("错误提示"));
    QVERIFY2(messages.last().text.contains(dropped), qPrintable(messages.last().text));
}

// A write limit in a child process stands for a full disk: the export is
// refused with the path, and the file exported before stays whole.
void tst_faults::fullDiskKeepsTheOldExport()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("goods.csv"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old export\n");
    old.close();

    QTableWidget table(2000, 4);
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < 4; ++column) {
            table.setItem(row, column, new QTableWidgetItem(QStringLiteral("商品%1").arg(row)));
        }
    }
    FileDialogs::setHandler([&target](FileDialogs::Kind, QWidget *, const QString &, const QString &,
                                      const QString &) { return target; });

    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        MessageRecorder messages;
        CsvExport::exportTable(nullptr, &table);
        const bool said = messages.count() == 1 && messages.last().text.contains(target);
        _exit(said ? 0 : 1);
    }
    int status = -1;
    QCOMPARE(waitpid(child, &status, 0), child);
    FileDialogs::setHandler(FileDialogs::Handler());
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old export\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void tst_faults::unstorableTextsAreNamed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("too long") << QString(101, QChar(0x5546)) << "错误提示"
                              << "第1行“商品名称”不能超过100个字符\n";
    QTest::newRow("NUL") << QStringLiteral("可乐") + QChar(0) << "输入提示"
                         << "第1行“商品名称”不能含有空字符";
}

void tst_faults::unstorableTextsAreNamed()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QVERIFY(m_db->exec(QStringLiteral("insert into food_info (food_id,food_name,unit,customer_price,"
                                      "purchar_price,category) values (1,'可乐','瓶',3,2,'饮料')")));
    goods form;
    auto *table = form.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    QCOMPARE(table->rowCount(), 1);
    table->item(0, 1)->setText(text);
    MessageRecorder messages;
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("pushButton_3")), Qt::LeftButton);
    QCOMPARE(messages.last().title, title);
    QVERIFY2(messages.last().text.startsWith(message), qPrintable(messages.last().text));
    QCOMPARE(m_db->scalar(QStringLiteral("select food_name from food_info")), QStringLiteral("可乐"));
}

QTEST_MAIN(tst_faults)
#include "tst_faults.moc"
