#include "admin/power_edit.h"
#include "app/loginstate.h"
#include "support/testdb.h"
#include "tablehelpers.h"
#include "widgets/guardedsave.h"

#include <QComboBox>

#include <memory>

namespace {

const QString editRights = QStringLiteral("权限编辑");
const QString editCategories = QStringLiteral("资产类别编辑");
const QString enterInvoices = QStringLiteral("发票录入");
const QString auditInvoices = QStringLiteral("发票审核");
const QString saved = QStringLiteral("操作提示/保存成功！");

// One workstation's rights editor, with user chosen.
struct Screen : ShownForm<power_edit>
{
    explicit Screen(const QString &user = QString())
    {
        if (!user.isEmpty()) {
            users->setCurrentText(user);
        }
    }
    QStringList save() { return click("pushButton"); }

    QComboBox *users = child<QComboBox>("comboBox");
    QTableWidget *table = ShownForm::table();
};

} // namespace

class tst_power_edit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void choosingAUserTicksExactlyTheRightsHeHolds_data();
    void choosingAUserTicksExactlyTheRightsHeHolds();
    void saving_data();
    void saving();
    void anotherWorkstationsSaveIsNotOverwritten_data();
    void anotherWorkstationsSaveIsNotOverwritten();

private:
    QString storedRights(const QString &user)
    {
        const QList<QStringList> rows = m_db->rows(QStringLiteral("select power from [user] where name='%1'").arg(user));
        return rows.isEmpty() ? QStringLiteral("<no row>") : rows.first().first();
    }

    std::unique_ptr<TestDb> m_db;
};

void tst_power_edit::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec(QStringLiteral("delete from power")));
    for (const QString &right : {editRights, editCategories, enterInvoices, auditInvoices}) {
        QVERIFY(m_db->exec(QStringLiteral("insert into power (name) values ('%1')").arg(right)));
    }
    QVERIFY(m_db->exec(QStringLiteral("delete from [user]")));
    const QList<QStringList> users = {
        {"manager", "权限编辑,资产类别编辑,发票录入,发票审核"},
        {"alice", "发票审核,发票录入"},
        {"bob", QString()},
        {"dave", "发票审核, 权限编辑"},
    };
    for (const QStringList &user : users) {
        QVERIFY(m_db->exec(QStringLiteral("insert into [user] (name,power) values ('%1','%2')")
                               .arg(user.at(0), user.at(1))));
    }
    LoginState::userName = QStringLiteral("manager");
    LoginState::rights = editRights;
}

void tst_power_edit::choosingAUserTicksExactlyTheRightsHeHolds_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("ticked");
    QTest::newRow("every right") << "manager" << QStringList({editRights, editCategories, enterInvoices, auditInvoices});
    QTest::newRow("rights stored in another order") << "alice" << QStringList({enterInvoices, auditInvoices});
    QTest::newRow("empty right list") << "bob" << QStringList();
    QTest::newRow("a right after a blank does not count") << "dave" << QStringList({auditInvoices});
    QTest::newRow("no user clears every box") << "--请选择--" << QStringList();
}

void tst_power_edit::choosingAUserTicksExactlyTheRightsHeHolds()
{
    QFETCH(QString, user);
    QFETCH(QStringList, ticked);
    Screen screen;
    QCOMPARE(columnTexts(screen.table, 1), QStringList({editRights, editCategories, enterInvoices, auditInvoices}));
    QVERIFY(!(screen.table->item(0, 1)->flags() & Qt::ItemIsEditable));
    // The users follow the placeholder in the order the database lists them.
    QStringList users = {"--请选择--"};
    for (const QStringList &row : m_db->rows(QStringLiteral("select name from [user]"))) {
        QCOMPARE(screen.users->itemText(users.size()), row.first());
        users << row.first();
    }
    QCOMPARE(screen.users->count(), users.size());
    QCOMPARE(screen.users->currentText(), users.first());
    // Start from somebody else's ticks: the choice must also untick.
    screen.users->setCurrentText(QStringLiteral("manager"));
    screen.users->setCurrentText(user);
    QCOMPARE(tickedNames(screen.table), ticked);
}

void tst_power_edit::saving_data()
{
    QTest::addColumn<QString>("rights"); // of the one saving
    QTest::addColumn<QString>("user");
    QTest::addColumn<QList<int>>("clicks"); // rows clicked, in this order
    QTest::addColumn<QByteArray>("sabotage"); // SQLite run on the file before saving
    QTest::addColumn<QString>("message");   // how it starts
    QTest::addColumn<QString>("stored");    // the user's rights afterwards

    const QString refused = QStringLiteral("权限提示/无此权限");
    const QByteArray none;
    QTest::newRow("ticked bottom up, stored top down") << editRights << "bob" << QList<int>({3, 0}) << none << saved
                                                       << "权限编辑,发票审核";
    QTest::newRow("unchanged rights are rewritten in list order")
        << editRights << "alice" << QList<int>() << none << saved << "发票录入,发票审核";
    QTest::newRow("the right after a blank is repaired")
        << editRights << "dave" << QList<int>({0}) << none << saved << "权限编辑,发票审核";
    QTest::newRow("unticking every right takes them away")
        << editRights << "alice" << QList<int>({2, 3}) << none << saved << QString();
    QTest::newRow("no user chosen") << editRights << "--请选择--" << QList<int>({0}) << none
                                    << "操作提示/先选择一位用户！" << "<no row>";
    QTest::newRow("no rights") << QString() << "bob" << QList<int>({0}) << none << refused << QString();
    QTest::newRow("other rights only") << "发票录入,资产类别编辑" << "bob" << QList<int>({0}) << none << refused << QString();
    QTest::newRow("the right after a blank") << "发票录入, 权限编辑" << "bob" << QList<int>({0}) << none << refused
                                             << QString();
    QTest::newRow("a failed write is reported instead of success")
        << editRights << "bob" << QList<int>({0})
        << QByteArray("create trigger user_locked before update on [user] begin select raise(abort, 'user is locked'); end")
        << "错误提示/user is locked" << QString();
}

void tst_power_edit::saving()
{
    QFETCH(QString, rights);
    QFETCH(QString, user);
    QFETCH(QList<int>, clicks);
    QFETCH(QByteArray, sabotage);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    LoginState::rights = rights;
    {
        Screen screen(user);
        for (const int row : clicks) {
            clickTick(screen.table, row);
        }
        QVERIFY(sabotage.isEmpty() || FormTest::runOnFile(m_db->db(), sabotage.constData()));
        const QStringList said = screen.save();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().startsWith(message), qPrintable(said.first()));
    }
    QCOMPARE(storedRights(user), stored);
    // A new window reads back what was stored.
    Screen again(user);
    QCOMPARE(tickedNames(again.table).join(QLatin1Char(',')), stored == QLatin1String("<no row>") ? QString() : stored);
}

void tst_power_edit::anotherWorkstationsSaveIsNotOverwritten_data()
{
    QTest::addColumn<QString>("other");   // whose rights another workstation saves first, or "delete"
    QTest::addColumn<QString>("message"); // what this screen's save of alice then says
    QTest::addColumn<QString>("stored");  // alice's rights afterwards

    QTest::newRow("the same user: refused, naming the right changed meanwhile")
        << "alice" << "操作提示/" + GuardedSave::staleText({0}) << "权限编辑,发票录入,发票审核";
    QTest::newRow("the user deleted: refused, not a false success")
        << "delete" << "操作提示/" + GuardedSave::staleText({2, 3}) << "<no row>";
    QTest::newRow("another user: both saves kept") << "bob" << saved << "资产类别编辑,发票录入,发票审核";
}

void tst_power_edit::anotherWorkstationsSaveIsNotOverwritten()
{
    QFETCH(QString, other);
    QFETCH(QString, message);
    QFETCH(QString, stored);

    Screen mine(QStringLiteral("alice"));
    clickTick(mine.table, 1);
    if (other == QLatin1String("delete")) {
        QVERIFY(m_db->exec(QStringLiteral("delete from [user] where name='alice'")));
    } else {
        Screen theirs(other);
        clickTick(theirs.table, 0);
        QCOMPARE(theirs.save(), QStringList(saved));
    }
    QCOMPARE(mine.save(), QStringList(message));
    QCOMPARE(storedRights(QStringLiteral("alice")), stored);
    if (other == QLatin1String("bob")) {
        QCOMPARE(storedRights(other), editRights);
        // What this screen stored is what it now holds: saving again is no conflict.
        QCOMPARE(mine.save(), QStringList(saved));
    } else {
        QCOMPARE(tickedNames(mine.table), QStringList({editCategories, enterInvoices, auditInvoices}));
    }
}

QTEST_MAIN(tst_power_edit)
#include "tst_power_edit.moc"
