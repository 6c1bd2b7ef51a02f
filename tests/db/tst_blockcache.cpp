#include "db/mssqltranslator.h"

#include <QtTest>

// Writes that differ only in their values share one translation of their
// shape; each must still come out exactly as translated on its own.
class tst_BlockCache : public QObject
{
    Q_OBJECT

private slots:
    void shapeGivesTheFreshTranslation_data();
    void shapeGivesTheFreshTranslation();
};

void tst_BlockCache::shapeGivesTheFreshTranslation_data()
{
    QTest::addColumn<QString>("sql");
    // Each template is sent with several sets of values, the first of which
    // makes the shape's translation.
    QTest::addColumn<QStringList>("values");

    const QStringList texts{"'a'", "'it''s'", "N'商品'", "''", "'1.2e+06'", "' 3E5 '"};
    QTest::newRow("update with texts and a guard")
        << "update food_info set food_name=%1,unit='箱',customer_price=%1 where food_id=7 and "
           "food_name=%1;"
        << texts;
    QTest::newRow("insert of texts and numbers")
        << "insert into food_info (food_id,food_name,customer_price) values (%1,%1,%1)"
        << QStringList{"1", "'x'", "-2", "0.5", "'4e2'", "12.50"};
    QTest::newRow("values inside calls and top stay part of the shape")
        << "update t set a=convert(varchar(%1),b,%1), c=left(%1,2) where id in (select top %1 id from t)"
        << QStringList{"10", "20", "23", "5"};
    QTest::newRow("numbers beside names, points and quotes")
        << "delete from t1 where a=%1 and b2=%1 and [c 3]=%1 and \"d\"=%1 and e=left(%1,2);"
        << QStringList{"5", "5.25", "'5'", "-3", "12", "7.", "'x'"};
    QTest::newRow("a comment or a parameter")
        << "update t set a=%1 where id=7 and b=? -- %1\n" << QStringList{"1", "'a'", "2"};
    QTest::newRow("a block of writes")
        << "update t set a=%1 where id=1;delete from t where a=%1;insert into t (a) values (%1);"
        << texts;
}

void tst_BlockCache::shapeGivesTheFreshTranslation()
{
    QFETCH(QString, sql);
    QFETCH(QStringList, values);

    for (const QString &value : values) {
        const QString text = QString(sql).replace(QStringLiteral("%1"), value);
        const MssqlTranslator::Translation cached = MssqlTranslator::translate(text);
        const MssqlTranslator::Translation fresh = MssqlTranslator::translateUncached(text);
        QCOMPARE(cached.error, fresh.error);
        QCOMPARE(cached.statements, fresh.statements);
        QCOMPARE(cached.placeholders, fresh.placeholders);
        QCOMPARE(cached.numberTexts.size(), fresh.numberTexts.size());
        for (int i = 0; i < fresh.numberTexts.size(); ++i) {
            QCOMPARE(cached.numberTexts.at(i).size(), fresh.numberTexts.at(i).size());
            for (int k = 0; k < fresh.numberTexts.at(i).size(); ++k) {
                QCOMPARE(cached.numberTexts.at(i).at(k).column, fresh.numberTexts.at(i).at(k).column);
                QCOMPARE(cached.numberTexts.at(i).at(k).literal, fresh.numberTexts.at(i).at(k).literal);
            }
        }
    }
}

QTEST_MAIN(tst_BlockCache)
#include "tst_blockcache.moc"
