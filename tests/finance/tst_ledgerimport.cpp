// Importing receivables from a CSV file: whole files as spreadsheets save
// them, all lines or none.

#include "finance/receivable.h"
#include "financetest.h"
#include "master/formtest.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>

using namespace FinanceTest;

class tst_ledgerimport : public QObject
{
    Q_OBJECT
    std::unique_ptr<Ledger> m_ledger;
    QTemporaryDir m_dir;

private slots:
    void init() { m_ledger.reset(new Ledger); }
    void cleanup() { m_ledger.reset(); }

    void importsAllOrNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<QStringList>>("imported");
        const QList<QStringList> none;
        const QString refused = QStringLiteral("错误提示/文件有错误，没有导入任何数据：\n");

        QTest::newRow("date-times and an empty amount")
            << QByteArray("2024-02-01 00:00:00,2024-02-29 00:00:00,21-东方超市,,货款\n") << "操作提示/导入成功！共导入1行"
            << QList<QStringList>{{"2024-02-01", "2024-02-29", "21-东方超市", "0", "货款", "clerk"}};
        QTest::newRow("header line, BOM, CRLF, no final line feed")
            << QByteArray("\xEF\xBB\xBF开始日期,结束日期,购货单位,金额,类别\r\n2024-02-01,2024-02-29,22-西城商店,12.5,投标保证金\r\n2024/3/1,2024/3/31,22-西城商店,7,投标保证金")
            << "操作提示/导入成功！共导入2行"
            << QList<QStringList>{{"2024-02-01", "2024-02-29", "22-西城商店", "12.5", "投标保证金", "clerk"},
                                  {"2024-03-01", "2024-03-31", "22-西城商店", "7", "投标保证金", "clerk"}};
        QTest::newRow("GBK as a spreadsheet saves it")
            << QTextCodec::codecForName("GBK")->fromUnicode(QStringLiteral("2024-02-01,2024-02-29,22-西城商店,100,货款\r\n"))
            << "操作提示/导入成功！共导入1行"
            << QList<QStringList>{{"2024-02-01", "2024-02-29", "22-西城商店", "100", "货款", "clerk"}};
        QTest::newRow("quoted fields")
            << QByteArray("2024-02-01,2024-02-29,\"21-东方超市\",\"300\",\"货款\"\n") << "操作提示/导入成功！共导入1行"
            << QList<QStringList>{{"2024-02-01", "2024-02-29", "21-东方超市", "300", "货款", "clerk"}};
        QTest::newRow("short and mixed day forms, a sign, 13 digits and 4 decimals")
            << QByteArray(" 2024/1/5 08:30:00,2024-01-31,22-西城商店,-12.5,货款\n2024-2/05,2024-02-29,22-西城商店,1234567890123.1250,货款\n")
            << "操作提示/导入成功！共导入2行"
            << QList<QStringList>{{"2024-01-05", "2024-01-31", "22-西城商店", "-12.5", "货款", "clerk"},
                                  {"2024-02-05", "2024-02-29", "22-西城商店", "1234567890123.13", "货款", "clerk"}};
        QTest::newRow("a header only") << QByteArray("开始日期,结束日期\n\n") << "操作提示/文件中没有可导入的数据！" << none;
        QTest::newRow("bad lines reject the file, a quoted comma stays in its field")
            << QByteArray("2024-02-01,2024-02-29,21-东方超市,1,货款\n2024-02-01,2024-02-29,22-西城商店,\"1,5\",货款\n2024-02-30,2024-03-01,22-西城商店,1,货款\n"
                          "2024-001-05,2024-03-31,22-西城商店,1,货款\n2024-04-01,2024-04-30,22-西城商店,12345678901234,货款\n"
                          "2024-05-01,2024-05-31,22-西城商店,1.12345,货款\n2024-06-01,2024-06-30,22-西城商店,1.,货款\n2024-07-01,2024-07-31,22-西城商店,１,货款\n")
            << refused + "第2行：金额“1,5”不是数字\n第3行：开始日期不正确\n第4行：开始日期不正确\n第5行：金额“12345678901234”不是数字\n"
                         "第6行：金额“1.12345”不是数字\n第7行：金额“1.”不是数字\n第8行：金额“１”不是数字" << none;
        QTest::newRow("ends on a stored period's first day")
            << QByteArray("2024-01-01,2024-01-10,21-东方超市,1,货款\n")
            << refused + "第1行：与已有周期2024-01-10至2024-01-20重叠" << none;
        QTest::newRow("begins on a stored period's last day")
            << QByteArray("2024-01-20,2024-01-31,21-东方超市,1,货款\n")
            << refused + "第1行：与已有周期2024-01-10至2024-01-20重叠" << none;
        QTest::newRow("overlaps an earlier line")
            << QByteArray("2024-02-01,2024-02-29,22-西城商店,1,货款\n2024-02-29,2024-03-31,22-西城商店,1,货款\n")
            << refused + "第2行：与第1行的周期重叠" << none;
        QTest::newRow("unknown customer and category")
            << QByteArray("2024-02-01,2024-02-29,99-无名,1,货款\n2024-02-01,2024-02-29,22-西城商店,1,杂项\n")
            << refused + "第1行：单位“99-无名”不存在\n第2行：类别“杂项”不存在" << none;
        // The database refuses the second insert block: nothing of the first stays.
        QByteArray many;
        for (int code = 1001; code <= 1101; ++code) {
            many += QStringLiteral("2025-01-01,2025-01-01,%1-甲,1,货款\n").arg(code).toUtf8();
        }
        QTest::newRow("a failed insert") << many << "数据错误/第101行起：" << none;
    }

    void importsAllOrNothing()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QFETCH(QList<QStringList>, imported);
        if (message.startsWith(QStringLiteral("数据错误"))) {
            for (int code = 1001; code <= 1101; ++code) {
                QVERIFY(m_ledger->db->exec(QStringLiteral("insert into customer (customer_id,customer_name) values (%1,'甲')").arg(code)));
            }
            QVERIFY(FormTest::runOnFile(m_ledger->db->db(), "create trigger refuse before insert on receivable "
                                                              "when new.company='1101-甲' begin select raise(abort, 'locked'); end"));
        }
        const QString fileName = m_dir.filePath(QStringLiteral("import.csv"));
        QFile out(fileName);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(file);
        out.close();
        QString caption;
        FileDialogs::setHandler([&](FileDialogs::Kind, QWidget *, const QString &title, const QString &,
                                    const QString &) { return (caption = title, fileName); });
        auto form = open<receivable>(QStringLiteral("货款"));
        click(*form, "pushButton_13");
        QCOMPARE(caption, QStringLiteral("打开文件"));
        QCOMPARE(m_ledger->messages.texts().join('|').left(message.size()), message);
        QCOMPARE(m_ledger->db->rows(QStringLiteral("select date_begin,date_end,company,money,inout_category,operator from receivable where id>1 order by id")),
                 imported);
    }
};

QTEST_MAIN(tst_ledgerimport)
#include "tst_ledgerimport.moc"
