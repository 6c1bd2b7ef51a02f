#include "bench/bench.h"

#include "db/mssqltranslator.h"
#include "master/goods.h"
#include "widgets/sqltemplate.h"
#include "widgets/messages.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>

#include <cstdio>

namespace {

// 20,000 goods unless --goods says otherwise.
int goodsCount()
{
    return Bench::options().goods > 0 ? Bench::options().goods : 20000;
}

// The statements the goods form sends to list the goods (search clause %1).
const QString kListSql = QStringLiteral(
    "select food_id,food_name,unit,customer_price,purchar_price,category,id from food_info "
    "where 1=1 %1 order by category,food_id");
const QString kUpdateSql = QStringLiteral(
    "update food_info set food_name='%2',unit='%3',customer_price='%4',purchar_price='%5',"
    "category='%6' where food_id=%1;");

bool fillGoods(Bench::Company &company)
{
    const QStringList units{QStringLiteral("箱"), QStringLiteral("瓶"), QStringLiteral("斤"),
                            QStringLiteral("袋")};
    const QStringList categories{QStringLiteral("饮料"), QStringLiteral("水果"),
                                 QStringLiteral("粮油"), QStringLiteral("日化"),
                                 QStringLiteral("冻品")};
    QSqlDatabase db = QSqlDatabase::database();
    db.transaction();
    QString text;
    const int count = goodsCount();
    for (int code = 1; code <= count; ++code) {
        text += QStringLiteral("insert into food_info (food_id,food_name,unit,customer_price,"
                               "purchar_price,category) values (%1,'商品%1','%2','%3','%4','%5');")
                    .arg(code)
                    .arg(units.at(code % units.size()))
                    .arg(double(code % 500) / 4.0)
                    .arg(double(code % 300) / 4.0)
                    .arg(categories.at(code % categories.size()));
        if (code % 500 == 0 || code == count) {
            if (!company.exec(text)) {
                db.rollback();
                return false;
            }
            text.clear();
        }
    }
    return db.commit();
}

// Reads every row and value of sql as the form does, without the table.
int readAll(const QString &sql)
{
    QSqlQuery query;
    query.setForwardOnly(true);
    query.exec(sql);
    int rows = 0;
    while (query.next()) {
        for (int c = 0; c < 7; ++c) {
            query.value(c).toString();
        }
        ++rows;
    }
    return rows;
}

void openOnEngine()
{
    readAll(kListSql.arg(QString()));
    QSqlQuery query;
    query.setForwardOnly(true);
    query.exec(QStringLiteral("select max(unit) from food_info group by unit"));
    while (query.next()) {
    }
    query.exec(QStringLiteral("select max(category) from food_info group by category"));
    while (query.next()) {
    }
    query.exec(QStringLiteral("insert into operator (ip,date,user_name,operator) values "
                              "('127.0.0.1','2026-01-01 00:00:00','test001','商品资料')"));
}

// The guarded updates the save sends, one per row: new values, and the
// condition that the row still holds what was loaded.
QStringList saveStatements()
{
    QSqlQuery read;
    read.setForwardOnly(true);
    read.exec(kListSql.arg(QString()));
    QStringList statements;
    while (read.next()) {
        QString sql = SqlTemplate::fill(
            kUpdateSql, {read.value(0).toString(), read.value(1).toString(),
                         read.value(2).toString(), QString::number(read.value(3).toDouble(), 'f', 2),
                         QString::number(read.value(4).toDouble() + 1, 'f', 2),
                         read.value(5).toString()});
        sql.chop(1);
        statements << sql
                          + QStringLiteral(" and id=%1 and food_name='%2' and unit='%3' and customer_price=%4"
                                           " and purchar_price=%5 and category='%6';")
                                .arg(read.value(6).toString(), read.value(1).toString(),
                                     read.value(2).toString(), read.value(3).toString(),
                                     read.value(4).toString(), read.value(5).toString());
    }
    return statements;
}

void saveOnEngine()
{
    const QStringList statements = saveStatements();
    QSqlDatabase db = QSqlDatabase::database();
    db.transaction();
    QSqlQuery query;
    for (const QString &statement : qAsConst(statements)) {
        query.exec(statement);
        query.numRowsAffected();
        query.finish();
    }
    db.rollback();
    readAll(kListSql.arg(QString()));
}

} // namespace

// Where the save's processor time goes before SQLite runs anything: the
// translation of every row's statement, afresh and through the translator's
// cache of statement shapes.
void reportSaveParts()
{
    const QStringList statements = saveStatements();
    const Bench::Timing afresh = Bench::timed([&] {
        for (const QString &statement : statements) {
            MssqlTranslator::translateUncached(statement);
        }
    });
    const Bench::Timing cached = Bench::timed([&] {
        for (const QString &statement : statements) {
            MssqlTranslator::translate(statement);
        }
    });
    std::printf("   of the save: translating the %d statements afresh %.3f s (processor %.3f s), by their shape %.3f s (processor %.3f s)\n",
                int(statements.size()), afresh.wall, afresh.cpu, cached.wall, cached.cpu);
}

JXC_BENCH_CASE(goodsForm, QStringLiteral("goods"))
{
    Bench::Company company;
    if (!company.isValid()) {
        std::printf("   no company: %s\n", company.error().toUtf8().constData());
        return false;
    }
    if (!fillGoods(company)) {
        return false;
    }
    Messages::setHandler([](QMessageBox::Icon, QWidget *, const QString &, const QString &,
                            QMessageBox::StandardButtons) { return QMessageBox::Ok; });

    // Opening: the constructor with its load, and the first paint.
    goods *form = nullptr;
    const Bench::Timing open = Bench::timed([&] {
        form = new goods;
        form->show();
        QApplication::processEvents();
    });
    auto *table = form->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    if (table->rowCount() != goodsCount()) {
        std::printf("   the form shows %d rows, not %d\n", table->rowCount(), goodsCount());
        return false;
    }
    Bench::report(QStringLiteral("open goods (%1 rows)").arg(goodsCount()), open,
                  Bench::seconds(openOnEngine), 0.5);

    // One keystroke in the search box: "1" still matches most of the goods.
    auto *search = form->findChild<QLineEdit *>(QStringLiteral("lineEdit_3"));
    const Bench::Timing keystroke = Bench::timed([&] {
        search->insert(QStringLiteral("1"));
        QApplication::processEvents();
    });
    const int matched = table->rowCount();
    const QString clause = QStringLiteral(
        " and cast(food_id as varchar)+food_name like '%%1%%' escape '\\'");
    Bench::report(QStringLiteral("search keystroke (%1 rows)").arg(matched), keystroke,
                  Bench::seconds([&] { readAll(kListSql.arg(clause)); }), 0.3);

    // Save of every row: back to the full list first, as after opening, and
    // every row's purchase price changed, so that every row is written.
    search->clear();
    QApplication::processEvents();
    for (int row = 0; row < table->rowCount(); ++row) {
        QTableWidgetItem *price = table->item(row, 4);
        price->setText(QString::number(price->text().toDouble() + 1, 'f', 2));
    }
    QApplication::processEvents();
    auto *saveButton = form->findChild<QPushButton *>(QStringLiteral("pushButton_3"));
    const Bench::Timing save = Bench::timed([&] {
        saveButton->click();
        QApplication::processEvents();
    });
    Bench::report(QStringLiteral("save goods (%1 rows)").arg(table->rowCount()), save,
                  Bench::seconds(saveOnEngine), 1.5);
    reportSaveParts();

    delete form;
    Messages::setHandler(Messages::Handler());
    return true;
}
