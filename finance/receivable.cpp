#include "finance/receivable.h"

#include "widgets/accountkind.h"

#include "ui_receivable.h"

LedgerSetup receivable::setup()
{
    using E = LedgerSetup::Editor;
    LedgerSetup s;
    s.table = QStringLiteral("receivable");
    s.headers = QStringList{QStringLiteral("开始日期"), QStringLiteral("结束日期"), QStringLiteral("购货单位"),
                 QStringLiteral("金额"), QStringLiteral("折扣"), QStringLiteral("发票流水号"),
                 QStringLiteral("资金流水号"), QStringLiteral("利息"), QStringLiteral("备注"),
                 QStringLiteral("提成日期"), QStringLiteral("付款类别"), QStringLiteral("录入"),
                 QStringLiteral("审核")};
    s.widths = {100, 100, 200, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100};
    s.editors = {E::Plain, E::Plain, E::ReadOnly, E::Money, E::Money, E::Invoice, E::Cash,
                 E::ReadOnly, E::Partner, E::ReadOnly, E::ReadOnly, E::ReadOnly, E::ReadOnly};
    s.discountColumn = 4;
    s.invoiceColumn = 5;
    s.cashColumn = 6;
    s.interestColumn = 7;
    s.remarksColumn = 8;
    s.commissionColumn = 9;
    s.categoryColumn = 10;
    s.operatorColumn = 11;
    s.checkerColumn = 12;
    s.idColumn = 13;
    s.requiredColumns = {3, 4, 5};
    s.checksDates = true;
    s.titles = QStringList{QStringLiteral("应收款管理"), QStringLiteral("应收（投标）管理"),
                QStringLiteral("应收（履约）管理"), QStringLiteral("应收（往来）管理")};
    s.partyLabel = QStringLiteral("销货单位");
    s.kindLabel = QStringLiteral("应收类型");
    s.queryFields = QStringList{QStringLiteral("公司"), QStringLiteral("金额"), QStringLiteral("提成日期")};
    s.partyList = QStringLiteral("select cast(customer_id as varchar)+'-'+customer_name from customer order by customer_id");
    s.periodsSql = QStringLiteral("select date_begin,date_end from receivable where inout_category='%1' and company='%2'");
    s.invoiceHoldersSql = QStringLiteral("select invoice_id,id from receivable where invoice_id in (%1)");
    s.cashHoldersSql = QStringLiteral("select info_id,id from receivable where info_id in (%1)");
    s.missingText = QStringLiteral("金额或客户不能为空");
    s.entryRight = QStringLiteral("应收录入");
    s.auditRight = QStringLiteral("应收审核");
    s.printTitle = QStringLiteral("应收明细报表");
    s.printHeaders = QStringList{QStringLiteral("开始日期"), QStringLiteral("结束日期"), QStringLiteral("购货单位"),
                      QStringLiteral("金额"), QStringLiteral("折扣"), QStringLiteral("发票号"),
                      QStringLiteral("资金号"), QStringLiteral("利息"), QStringLiteral("备注"),
                      QStringLiteral("提成日期"), QStringLiteral("类别"), QStringLiteral("录入"),
                      QStringLiteral("审核")};
    s.receivableActions = true;
    s.party = &CustomerParty;
    return s;
}

receivable::receivable(QWidget *parent) : LedgerForm(setup(), parent), m_ui(new Ui::receivable)
{
    // The shared body is in place by now, so this also connects its handlers.
    const QString title = windowTitle();
    m_ui->setupUi(this);
    setWindowTitle(title);
}

receivable::~receivable()
{
    delete m_ui;
}
