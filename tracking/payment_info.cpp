#include "tracking/payment_info.h"
#include "ui_payment_info.h"

payment_info::payment_info(QWidget *parent)
    : TrackingForm(parent),
      m_ui(new Ui::payment_info)
{
    m_ui->setupUi(this);

    const QList<Query> all{Summary, Detail, Month};
    Definition d;
    d.partnerBox = QStringLiteral("comboBox_6");
    d.title = QStringLiteral("应付款跟踪");
    d.boxes = {
        {QStringLiteral("comboBox_6"), {QString()},
         QStringLiteral("select cast(supplier_id as varchar)+'-'+supplier_name from supplier order by supplier_id"), true},
        {QStringLiteral("comboBox"), {}, QStringLiteral("select name from inout_category order by id")},
        {QStringLiteral("comboBox_2"), {QStringLiteral("全部"), QStringLiteral("合作"), QStringLiteral("暂未合作")}, {}},
        {QStringLiteral("comboBox_3"), {QStringLiteral("全部"), QStringLiteral("正常"), QStringLiteral("逾期")}, {}},
        {QStringLiteral("comboBox_4"), {QStringLiteral("全部"), QStringLiteral("大于零")}, {}},
        {QStringLiteral("comboBox_5"), {QStringLiteral("全部")}, QStringLiteral("select name from category_supplier order by id")},
    };
    // The category box says "全部" here, where the receivable side says
    // "--全部--".
    d.clauses = partnerStateClauses();
    d.clauses += {
        Clause::boxText(all, QStringLiteral("comboBox_5"), QStringLiteral("全部"), QStringLiteral(" and t4.category='%1'")),
        Clause::boxText(all, QStringLiteral("comboBox_6"), QString(),
                        QStringLiteral(" and cast(supplier_id as varchar)+'-'+t4.supplier_name = '%1'"), true),
    };

    d.summary.statement = QStringLiteral("select cast(t4.supplier_id as varchar)+'-'+t4.supplier_name,ISNULL(t5.hz,0),ISNULL(t5.zq,t4.cycle),ISNULL(t5.ts,0),ISNULL(t5.zc,'正常'),isnull(t5.category,''),isnull(t4.accoutant,'') from supplier t4 left join  (select cast(t1.supplier_id as varchar)+'-'+t1.supplier_name as name,sum(isnull(t2.money,0)-isnull(t3.pay,0)) as hz,max(t1.cycle) as zq,datediff(day,MIN(t2.date_end),'%1') as ts,(case  when (max(t1.cycle)-datediff(day,MIN(t2.date_end),'%2'))>0 then '正常' else '逾期' end) as zc,max(t2.inout_category) as category,max(t1.accoutant) as accoutant from supplier t1 left join payment t2 on (cast(t1.supplier_id as varchar)+'-'+t1.supplier_name)=t2.company left join info t3 on t2.info_id=t3.id where t2.inout_category='%3' and t2.date_end<='%4' and (isnull(t2.money,0)-isnull(t3.pay,0))<>0 group by cast(t1.supplier_id as varchar)+'-'+t1.supplier_name) t5 on (cast(t4.supplier_id as varchar)+'-'+t4.supplier_name)=t5.name where 1=1");
    // Sent instead: the open periods grouped per partner in code order and
    // joined by the code, which is unique, so the same groups as by the
    // code-and-name text; the partner filter repeated inside them.
    d.summary.sent = QStringLiteral("select cast(t4.supplier_id as varchar)+'-'+t4.supplier_name,ISNULL(t5.hz,0),ISNULL(t5.zq,t4.cycle),ISNULL(t5.ts,0),ISNULL(t5.zc,'正常'),isnull(t5.category,''),isnull(t4.accoutant,'') from supplier t4 left join  (select t1.supplier_id as code,sum(isnull(t2.money,0)-isnull(t3.pay,0)) as hz,max(t1.cycle) as zq,datediff(day,MIN(t2.date_end),'%1') as ts,(case  when (max(t1.cycle)-datediff(day,MIN(t2.date_end),'%2'))>0 then '正常' else '逾期' end) as zc,max(t2.inout_category) as category from supplier t1 join payment t2 on t2.company=(cast(t1.supplier_id as varchar)+'-'+t1.supplier_name) left join info t3 on t2.info_id=t3.id where t2.inout_category='%3' and t2.date_end<='%4' and (isnull(t2.money,0)-isnull(t3.pay,0))<>0%6 group by t1.supplier_id) t5 on t5.code=t4.supplier_id where 1=1%5 order by t4.supplier_id");
    d.summary.partnerFilters = QStringList{QStringLiteral(" and cast(t1.supplier_id as varchar)+'-'+t1.supplier_name = '%1'")};
    d.summary.order = QStringLiteral(" order by t4.supplier_id");
    d.summary.columns = {{QStringLiteral("供应商"), 200}, {QStringLiteral("应付金额"), 100}, {QStringLiteral("付款周期"), 100},
                         {QStringLiteral("未付款天数"), 100}, {QStringLiteral("是否正常"), 100}, {QStringLiteral("应付类别"), 0},
                         {QStringLiteral("对账员"), 0}};
    d.summary.totalsText = QStringLiteral("应付总金额%1元");
    d.summary.sumColumns = {1};

    const QVector<ModelReport::Column> periodColumns = {
        {QStringLiteral("供应商"), 200}, {QStringLiteral("开始日期"), 100}, {QStringLiteral("结束日期"), 100},
        {QStringLiteral("应付金额"), 100}, {QStringLiteral("发票金额"), 100}, {QStringLiteral("付款金额"), 100},
        {QStringLiteral("应付类别"), 100}, {QStringLiteral("操作员"), 100}};
    const QString periodTotals = QStringLiteral("应付总金额%1元，发票总金额%2元，付款总金额%3元");

    d.detail.statement = QStringLiteral("select t1.company as company,t1.date_begin as date_begin,t1.date_end as date_end,t1.money as money,isnull(t2.money,0) as inv,isnull(t3.pay,0) as cas,t1.inout_category as inout_category,t1.operator as operator from payment t1 left join invoice t2 on t1.invoice_id=t2.id left join info t3 on t1.info_id=t3.id left join supplier t4 on t1.company=(cast(t4.supplier_id as varchar)+'-'+t4.supplier_name) where t1.date_end <='%1' and t1.inout_category='%2'");
    d.detail.order = QStringLiteral(" order by t4.supplier_id,t1.date_end");
    d.detail.columns = periodColumns;
    d.detail.totalsText = periodTotals;
    d.detail.sumColumns = {3, 4, 5};
    // 200,000 periods read before the list shows would keep the user waiting.
    streamInPartnerOrder(&d.detail, QStringLiteral("supplier"), QStringLiteral("payment"), QStringLiteral("pay"));

    // Dates as text before isnull, as on the receivable side.
    d.month.statement = QStringLiteral("select CAST(t4.supplier_id as varchar)+'-'+t4.supplier_name,ISNULL(convert(varchar(10),t5.date_begin,20),''),ISNULL(convert(varchar(10),t5.date_end,20),''),ISNULL(t5.money,0),ISNULL(t5.inv,0),ISNULL(t5.cas,0),ISNULL(t5.inout_category,''),ISNULL(t5.operator,'') from supplier t4 left join  (select t1.company as company,min(t1.date_begin) as date_begin,max(t1.date_end) as date_end,sum(t1.money) as money,isnull(sum(t2.money),0) as inv,isnull(sum(t3.pay),0) as cas,max(t1.inout_category) as inout_category,max(t1.operator) as operator from payment t1 left join invoice t2 on t1.invoice_id=t2.id left join info t3 on t1.info_id=t3.id where t1.date_end between '%1' and '%2' and t1.inout_category='%3' group by t1.company) t5 on (CAST(t4.supplier_id as varchar)+'-'+t4.supplier_name)=t5.company where 1=1");
    d.month.order = QStringLiteral(" order by t4.supplier_id");
    d.month.columns = periodColumns;
    d.month.totalsText = periodTotals;
    d.month.sumColumns = {3, 4, 5};

    start(d);
}

payment_info::~payment_info() = default;
