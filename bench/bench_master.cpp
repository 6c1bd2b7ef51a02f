#include "bench/bench.h"

#include "db/literalparameters.h"
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

// The blocks of 100 updates the save sends for every row.
QStringList saveBlocks()
{
    QSqlQuery read;
    read.setForwardOnly(true);
    read.exec(kListSql.arg(QString()));
    QStringList blocks;
    QString text;
    int count = 0;
    while (read.next()) {
        text += SqlTemplate::fill(
            kUpdateSql, {read.value(0).toString(), read.value(1).toString(),
                         read.value(2).toString(), QString::number(read.value(3).toFloat(), 'g', 6),
                         QString::number(read.value(4).toFloat(), 'g', 6),
                         read.value(5).toString()});
        if (++count % 100 == 0) {
            blocks << text;
            text.clear();
        }
    }
    if (!text.isEmpty()) {
        blocks << text;
    }
    return blocks;
}

void saveOnEngine()
{
    const QStringList blocks = saveBlocks();
    QSqlDatabase db = QSqlDatabase::database();
    db.transaction();
    QSqlQuery query;
    for (const QString &block : qAsConst(blocks)) {
        query.exec(block);
    }
    db.commit();
    readAll(kListSql.arg(QString()));
}

} // namespace

// Where the save's processor time goes before SQLite runs anything: each
// block is a text of its own, so each is translated afresh, and each of its
// statements has its literals taken out as parameters.
void reportSaveParts()
{
    const QStringList blocks = saveBlocks();
    QVector<MssqlTranslator::Translation> translations;
    const Bench::Timing translation = Bench::timed([&] {
        for (const QString &block : blocks) {
            translations << MssqlTranslator::translateUncached(block);
        }
    });
    const Bench::Timing literals = Bench::timed([&] {
        for (const MssqlTranslator::Translation &t : qAsConst(translations)) {
            for (const QString &statement : t.statements) {
                QString shape;
                QVector<QVariant> values;
                LiteralParameters::extract(statement, &shape, &values, [](const QString &text, double *v) {
                    bool ok = false;
                    *v = text.toDouble(&ok);
                    return ok;
                });
            }
        }
    });
    std::printf("   of the save: translating the %d blocks %.3f s (processor %.3f s), literals to parameters %.3f s (processor %.3f s)\n",
                int(blocks.size()), translation.wall, translation.cpu, literals.wall, literals.cpu);
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

    // Save of every row: back to the full list first, as after opening.
    search->clear();
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
