#include "tracking/receivable_info.h"
#include "ui_receivable_info.h"

receivable_info::receivable_info(QWidget *parent)
    : TrackingForm(parent),
      m_ui(new Ui::receivable_info)
{
    m_ui->setupUi(this);

    const QList<Query> all{Summary, Detail, Month};
    Definition d;
    d.partnerBox = QStringLiteral("comboBox_8");
    d.title = QStringLiteral("应收款跟踪");
    d.boxes = {
        {QStringLiteral("comboBox_8"), {QString()},
         QStringLiteral("select cast(customer_id as varchar)+'-'+customer_name from customer order by customer_id"), true},
        {QStringLiteral("comboBox_7"), {QStringLiteral("--全部--")}, QStringLiteral("select employee_name from employee order by id")},
        {QStringLiteral("comboBox"), {}, QStringLiteral("select name from inout_category order by id")},
        {QStringLiteral("comboBox_2"), {QStringLiteral("全部"), QStringLiteral("合作"), QStringLiteral("暂未合作")}, {}},
        {QStringLiteral("comboBox_3"), {QStringLiteral("全部"), QStringLiteral("正常"), QStringLiteral("逾期")}, {}},
        {QStringLiteral("comboBox_9"), {QStringLiteral("应收金额"), QStringLiteral("回款金额")}, {}},
        {QStringLiteral("comboBox_4"), {QStringLiteral("全部"), QStringLiteral("大于零")}, {}},
        {QStringLiteral("comboBox_5"), {QStringLiteral("全部"), QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("E")}, {}},
        {QStringLiteral("comboBox_6"), {QStringLiteral("--全部--")}, QStringLiteral("select name from category_customer order by id")},
        {QStringLiteral("comboBox_10"), {QStringLiteral("全部"), QStringLiteral("是"), QStringLiteral("否")}, {}},
    };
    d.clauses = partnerStateClauses();
    d.clauses += {
        Clause::choice({Detail}, {QStringLiteral("comboBox_4"), QStringLiteral("comboBox_9")},
                       {{QStringLiteral("大于零/应收金额"), QStringLiteral(" and t1.money>0")},
                        {QStringLiteral("大于零/回款金额"), QStringLiteral(" and isnull(t3.income,0)>0")}}),
        Clause::boxText(all, QStringLiteral("comboBox_5"), QStringLiteral("全部"), QStringLiteral(" and t4.area='%1'")),
        Clause::boxText(all, QStringLiteral("comboBox_8"), QString(),
                        QStringLiteral(" and cast(t4.customer_id as varchar)+'-'+t4.customer_name = '%1'"), true),
        Clause::boxText(all, QStringLiteral("comboBox_6"), QStringLiteral("--全部--"), QStringLiteral(" and t4.category='%1'")),
        Clause::boxText(all, QStringLiteral("comboBox_7"), QStringLiteral("--全部--"), QStringLiteral(" and t4.accoutant='%1'")),
        Clause::boxText({Detail}, QStringLiteral("comboBox_10"), QStringLiteral("全部"),
                        QStringLiteral(" and (case when (t1.money-isnull(t3.income,0))=0 then '是' else '否' end)='%1'")),
    };

    d.summary.statement = QStringLiteral("select cast(t4.customer_id as varchar)+'-'+t4.customer_name,ISNULL(t5.hz,0),ISNULL(t5.zq,t4.cycle),ISNULL(t5.ts,0),ISNULL(t5.zc,'正常'),isnull(t5.mx,''),isnull(t6.date,'2001-01-01'),isnull((case  when datediff(day,isnull(t6.date,'2001-01-01'),'%2')>30 then '否' else '是' end),'否'),isnull(t5.category,''),isnull(t4.accoutant,''),isnull(t4.area,'') from customer t4 left join  (select cast(t1.customer_id as varchar)+'-'+t1.customer_name as name,sum(isnull(t2.money,0)-isnull(t3.income,0)) as hz,max(t1.cycle) as zq,datediff(day,MIN(t2.date_end),'%1') as ts,cast(MIN(t2.date_begin) as varchar)+'至'+cast(MAX(t2.date_end) as varchar) as mx,(case  when (max(t1.cycle)-datediff(day,MIN(t2.date_end),'%2'))>0 then '正常' else '逾期' end) as zc,max(t2.inout_category) as category,max(t1.accoutant) as accoutant from customer t1 left join receivable t2 on (cast(t1.customer_id as varchar)+'-'+t1.customer_name)=t2.company left join info t3 on t2.info_id=t3.id where t2.inout_category='%3' and t2.date_end<='%4' and (isnull(t2.money,0)-isnull(t3.income,0))<>0 group by cast(t1.customer_id as varchar)+'-'+t1.customer_name) t5 on (cast(t4.customer_id as varchar)+'-'+t4.customer_name)=t5.name left join (select max(date) as date,company from info where income>0 group by company) t6 on (cast(t4.customer_id as varchar)+'-'+t4.customer_name)=t6.company where 1=1");
    // Sent instead: the open periods grouped per partner in code order and
    // joined by the code, which is unique, so the same groups as by the
    // code-and-name text; the partner filter repeated inside them.
    // The last receipt is looked up per customer from the end of its dates
    // in the cash index, instead of grouping every receipt.
    d.summary.sent = QStringLiteral("select cast(t4.customer_id as varchar)+'-'+t4.customer_name,ISNULL(t5.hz,0),ISNULL(t5.zq,t4.cycle),ISNULL(t5.ts,0),ISNULL(t5.zc,'正常'),isnull(t5.mx,''),isnull((select max(date) from info where company=(cast(t4.customer_id as varchar)+'-'+t4.customer_name) and income>0),'2001-01-01'),isnull((case  when datediff(day,isnull((select max(date) from info where company=(cast(t4.customer_id as varchar)+'-'+t4.customer_name) and income>0),'2001-01-01'),'%2')>30 then '否' else '是' end),'否'),isnull(t5.category,''),isnull(t4.accoutant,''),isnull(t4.area,'') from customer t4 left join  (select t1.customer_id as code,sum(isnull(t2.money,0)-isnull(t3.income,0)) as hz,max(t1.cycle) as zq,datediff(day,MIN(t2.date_end),'%1') as ts,cast(MIN(t2.date_begin) as varchar)+'至'+cast(MAX(t2.date_end) as varchar) as mx,(case  when (max(t1.cycle)-datediff(day,MIN(t2.date_end),'%2'))>0 then '正常' else '逾期' end) as zc,max(t2.inout_category) as category from customer t1 join receivable t2 on t2.company=(cast(t1.customer_id as varchar)+'-'+t1.customer_name) left join info t3 on t2.info_id=t3.id where t2.inout_category='%3' and t2.date_end<='%4' and (isnull(t2.money,0)-isnull(t3.income,0))<>0%6 group by t1.customer_id) t5 on t5.code=t4.customer_id where 1=1%5 order by t4.customer_id");
    d.summary.partnerFilters = QStringList{QStringLiteral(" and cast(t1.customer_id as varchar)+'-'+t1.customer_name = '%1'")};
    d.summary.order = QStringLiteral(" order by t4.customer_id");
    d.summary.columns = {{QStringLiteral("客户"), 200}, {QStringLiteral("应收金额"), 100}, {QStringLiteral("回款周期"), 100},
                         {QStringLiteral("未回款天数"), 100}, {QStringLiteral("是否正常"), 100}, {QStringLiteral("未回区间"), 100},
                         {QStringLiteral("最近回款日"), 100}, {QStringLiteral("30日内回款"), 0}, {QStringLiteral("应收类别"), 0},
                         {QStringLiteral("对账员"), 0}, {QStringLiteral("所属区域"), 0}};
    d.summary.totalsText = QStringLiteral("应收总金额%1元");
    d.summary.sumColumns = {1};

    d.detail.statement = QStringLiteral("select t1.company as company,t1.date_begin as date_begin,t1.date_end as date_end,t1.money as money,t1.discount,isnull(t2.money,0) as inv,isnull(t3.income,0) as cas,isnull(t3.date,'2001-01-01'),(case when datediff(day,t1.date_end,isnull(t3.date,'2001-01-01'))>=0 then datediff(day,t1.date_end,isnull(t3.date,'2001-01-01')) else 0 end),(case when (t1.money-isnull(t3.income,0))=0 then '是' else '否' end),t1.remarks,t1.inout_category as inout_category,t1.operator as operator from receivable t1 left join invoice t2 on t1.invoice_id=t2.id left join info t3 on t1.info_id=t3.id left join customer t4 on t1.company=(cast(t4.customer_id as varchar)+'-'+t4.customer_name) where t1.date_end <='%1' and t1.inout_category='%2'");
    d.detail.order = QStringLiteral(" order by t4.customer_id,t1.date_end");
    d.detail.columns = {{QStringLiteral("客户"), 200}, {QStringLiteral("开始日期"), 100}, {QStringLiteral("结束日期"), 100},
                        {QStringLiteral("应收金额"), 70}, {QStringLiteral("折扣"), 70}, {QStringLiteral("发票金额"), 70},
                        {QStringLiteral("回款金额"), 70}, {QStringLiteral("回款日期"), 100}, {QStringLiteral("回款天数"), 70},
                        {QStringLiteral("是否结清"), 70}, {QStringLiteral("备注"), 150}, {QStringLiteral("应收类别"), 70},
                        {QStringLiteral("操作员"), 70}};
    d.detail.totalsText = QStringLiteral("应收总金额%1元，发票总金额%2元，回款总金额%3元");
    d.detail.sumColumns = {3, 5, 6};
    // 200,000 periods read before the list shows would keep the user waiting.
    streamInPartnerOrder(&d.detail, QStringLiteral("customer"), QStringLiteral("receivable"), QStringLiteral("income"));

    // The month's dates are turned into text before isnull: on the server
    // isnull of a date column and '' is a date, and '' reads as 1900-01-01,
    // where a customer without periods in the month should show nothing.
    d.month.statement = QStringLiteral("select CAST(t4.customer_id as varchar)+'-'+t4.customer_name,ISNULL(convert(varchar(10),t5.date_begin,20),''),ISNULL(convert(varchar(10),t5.date_end,20),''),ISNULL(t5.money,0),ISNULL(t5.inv,0),ISNULL(t5.cas,0),ISNULL(t5.inout_category,''),ISNULL(t5.operator,'') from customer t4 left join  (select t1.company as company,min(t1.date_begin) as date_begin,max(t1.date_end) as date_end,sum(t1.money) as money,isnull(sum(t2.money),0) as inv,isnull(sum(t3.income),0) as cas,max(t1.inout_category) as inout_category,max(t1.operator) as operator from receivable t1 left join invoice t2 on t1.invoice_id=t2.id left join info t3 on t1.info_id=t3.id where t1.date_end between '%1' and '%2' and t1.inout_category='%3' group by t1.company) t5 on (CAST(t4.customer_id as varchar)+'-'+t4.customer_name)=t5.company where 1=1");
    d.month.order = QStringLiteral(" order by t4.customer_id");
    d.month.columns = {{QStringLiteral("客户"), 200}, {QStringLiteral("开始日期"), 100}, {QStringLiteral("结束日期"), 100},
                       {QStringLiteral("应收金额"), 100}, {QStringLiteral("发票金额"), 100}, {QStringLiteral("回款金额"), 100},
                       {QStringLiteral("应收类别"), 100}, {QStringLiteral("操作员"), 100}};
    d.month.totalsText = QStringLiteral("应收总金额%1元，发票总金额%2元，回款总金额%3元");
    d.month.sumColumns = {3, 4, 5};

    start(d);
}

receivable_info::~receivable_info() = default;
