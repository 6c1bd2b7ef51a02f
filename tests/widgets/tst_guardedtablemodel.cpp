// The guarded table model: the one-pass reading of the rows shown, and a save
// of many rows through statements prepared once.

#include "widgets/guardedtablemodel.h"
#include "support/testdb.h"

#include <QtSql>
#include <QtTest>

#include <memory>

class tst_guardedtablemodel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void rowsShownCarryStateAndLoadedValues();
    void manyEditedRowsSaveOrNameTheStaleOnes_data();
    void manyEditedRowsSaveOrNameTheStaleOnes();

private:
    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<GuardedTableModel> m_model;
};

void tst_guardedtablemodel::init()
{
    m_model.reset();
    m_db.reset();
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    QVERIFY(m_db->exec(QStringLiteral("delete from inout_category")));
    for (int i = 1; i <= 300; ++i) {
        QVERIFY2(m_db->exec(QStringLiteral("insert into inout_category (name) values ('c%1')").arg(i)),
                 qPrintable(m_db->lastError()));
    }
    m_model.reset(new GuardedTableModel);
    m_model->setTable(QStringLiteral("inout_category"));
    m_model->setSort(0, Qt::AscendingOrder);
    QVERIFY(m_model->select());
    m_model->fetchAll();
}

void tst_guardedtablemodel::rowsShownCarryStateAndLoadedValues()
{
    using State = GuardedTableModel::Row::State;
    const int name = m_model->fieldIndex(QStringLiteral("name"));
    m_model->setData(m_model->index(250, name), QStringLiteral("edited"));
    m_model->insertRow(100);
    m_model->setData(m_model->index(100, name), QStringLiteral("new"));
    m_model->removeRow(0);

    const auto rows = m_model->shownRows();
    QCOMPARE(rows.size(), 301);
    QCOMPARE(rows.at(0).state, State::Removed);
    QCOMPARE(rows.at(0).values.at(name).toString(), QStringLiteral("c1"));
    QCOMPARE(rows.at(100).state, State::New);
    QCOMPARE(rows.at(100).values.at(name).toString(), QStringLiteral("new"));
    QVERIFY(rows.at(100).loaded.isEmpty());
    // Rows after the added one are read from their own place in the result.
    QCOMPARE(rows.at(101).state, State::Loaded);
    QCOMPARE(rows.at(101).values.at(name).toString(), QStringLiteral("c101"));
    QCOMPARE(rows.at(251).state, State::Changed);
    QCOMPARE(rows.at(251).values.at(name).toString(), QStringLiteral("edited"));
    QCOMPARE(rows.at(251).loaded.at(name).toString(), QStringLiteral("c251"));
    QCOMPARE(rows.at(251).edited, (QVector<bool>{false, true}));
    for (int row : {1, 99, 101, 250, 252, 300}) {
        QCOMPARE(rows.at(row).values, rows.at(row).loaded);
        for (int c = 0; c < 2; ++c) {
            QCOMPARE(rows.at(row).values.at(c), m_model->data(m_model->index(row, c)));
        }
    }
}

void tst_guardedtablemodel::manyEditedRowsSaveOrNameTheStaleOnes_data()
{
    QTest::addColumn<QList<int>>("changedElsewhere");
    QTest::newRow("none") << QList<int>();
    QTest::newRow("two among them") << QList<int>{7, 180};
}

void tst_guardedtablemodel::manyEditedRowsSaveOrNameTheStaleOnes()
{
    QFETCH(QList<int>, changedElsewhere);
    const int name = m_model->fieldIndex(QStringLiteral("name"));
    for (int row = 0; row < 200; ++row) {
        m_model->setData(m_model->index(row, name), QStringLiteral("e%1").arg(row + 1));
    }
    m_model->removeRow(250);
    for (int row : changedElsewhere) {
        QVERIFY(m_db->exec(QStringLiteral("update inout_category set name='other' where name='c%1'").arg(row + 1)));
    }
    QString message;
    const auto outcome = m_model->saveAll(&message);
    if (changedElsewhere.isEmpty()) {
        QCOMPARE(outcome, GuardedTableModel::Outcome::Saved);
        QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from inout_category where name like 'e%'")),
                 QStringLiteral("200"));
        QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from inout_category")), QStringLiteral("299"));
    } else {
        QCOMPARE(outcome, GuardedTableModel::Outcome::Stale);
        QCOMPARE(message, GuardedTableModel::staleMessage(changedElsewhere));
        QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from inout_category where name like 'e%'")),
                 QStringLiteral("0"));
        QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from inout_category")), QStringLiteral("300"));
        QVERIFY(m_model->isDirty());
    }
}

QTEST_MAIN(tst_guardedtablemodel)
#include "tst_guardedtablemodel.moc"
