// The statements of the goods, customer and supplier tables, taken from the
// forms' definitions, run on the embedded engine against the rows of
// StatementFixture: what SQL Server makes of NULLs in the search, the pinyin
// order of Chinese texts and the writes it refuses.

#include "master/customer.h"
#include "master/goods.h"
#include "master/supplier.h"
#include "support/statementfixture.h"
#include "support/testdb.h"
#include "widgets/sqltemplate.h"

#include <QtTest>

using namespace StatementText;
using Definition = MasterTableForm::Definition;

namespace {

Definition definitionOf(const QString &table)
{
    return table == QLatin1String("goods")      ? goods().definition()
        : table == QLatin1String("customer") ? customer().definition()
                                              : supplier().definition();
}

// The list statement with the search box holding text (none: the box never
// typed in).
QString listed(const Definition &definition, const QString &search)
{
    const QString clause = search.isNull()
        ? QString()
        : SqlTemplate::fill(definition.searchClause, {SqlText::likeLiteral(search)});
    return SqlTemplate::fill(definition.listSql, {clause});
}

} // namespace

class tst_statements_master : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void writes_data();
    void writes();

private:
    FixtureDb m_fixture;
};

void tst_statements_master::reads_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("goods: no category first") << "goods" << QString()
        << QStringList{"104|咖啡豆|袋|95|60|<NULL>|4", "101|打印纸|箱|12.5|5|办公|1",
                       "102|签字笔|盒|8|3.2|办公|2", "103|矿泉水|箱|30|18|食品|3"};
    QTest::newRow("goods: text across code and name") << "goods" << "3矿"
        << QStringList{"103|矿泉水|箱|30|18|食品|3"};
    QTest::newRow("goods: nothing found") << "goods" << "手机" << QStringList{};
    QTest::newRow("customer: opened, also without short name") << "customer" << QString()
        << QStringList{"21|东方超市|东方|A|1", "22|西城商店|<NULL>|C|2", "23|南山配送站|南山|E|3",
                       "24|北湖酒店|北湖|A|4"};
    // Text added to NULL is NULL: a customer without short name drops out of
    // every search, as on the server.
    QTest::newRow("customer: emptied search box") << "customer" << ""
        << QStringList{"21|东方超市|东方|A|1", "23|南山配送站|南山|E|3", "24|北湖酒店|北湖|A|4"};
    QTest::newRow("customer: name of the one without short name") << "customer" << "西城" << QStringList{};
    QTest::newRow("customer: across name and short name") << "customer" << "店北湖"
        << QStringList{"24|北湖酒店|北湖|A|4"};
    QTest::newRow("supplier: across name and short name") << "supplier" << "泉农"
        << QStringList{"13|农夫山泉|农夫|食品|3"};
}

void tst_statements_master::reads()
{
    QFETCH(QString, table);
    QFETCH(QString, search);
    QFETCH(QStringList, expected);
    QString error;
    QVERIFY2(m_fixture.forReading(&error), qPrintable(error));
    const QString statement = listed(definitionOf(table), search);
    // In the list's own order: SQL Server gives no order without "order by".
    const QString failure = FixtureDb::check(statement, expected, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

// Each row runs the insert statement of table for values; then the form's
// group box must offer expected.
void tst_statements_master::writes_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QList<QStringList>>("values");
    QTest::addColumn<QStringList>("expected");

    using Rows = QList<QStringList>;
    // Latin letters come before Chinese, which sorts by pinyin: 北 (bei)
    // before 东 (dong), 办 (ban) before 食 (shi) and 文 (wen).
    QTest::newRow("customer: areas typed in Chinese")
        << "customer" << Rows{{"25", "东区超市", "东区超市", "东区"}, {"26", "北区超市", "北区超市", "北区"}}
        << QStringList{"A", "C", "E", "北区", "东区"};
    QTest::newRow("goods: units in pinyin order")
        << "goods" << Rows{{"105", "订书机", "个", "6.00", "4.00", "办公"}}
        << QStringList{"袋", "个", "盒", "箱"};
    QTest::newRow("supplier: categories in pinyin order")
        << "supplier" << Rows{{"14", "得力文具", "得力", "文具"}}
        << QStringList{"办公用品", "食品", "文具"};
}

void tst_statements_master::writes()
{
    QFETCH(QString, table);
    QFETCH(QList<QStringList>, values);
    QFETCH(QStringList, expected);

    QString error;
    TestDb *db = m_fixture.forWriting(&error);
    QVERIFY2(db, qPrintable(error));
    const Definition definition = definitionOf(table);
    QString statement;
    for (QStringList row : values) {
        for (int i = 1; i < row.size(); ++i) {
            row[i] = q(row.at(i));
        }
        statement += SqlTemplate::fill(definition.insertSql, row);
    }
    QVERIFY2(db->exec(statement), qPrintable(statement + QStringLiteral("\n  -> ") + db->lastError()));
    const QString failure = FixtureDb::check(definition.comboSqls.first(), expected, true);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

JXC_STATEMENT_TEST_MAIN(tst_statements_master)
#include "tst_statements_master.moc"
