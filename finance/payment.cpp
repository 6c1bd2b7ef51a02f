#include "finance/payment.h"

#include "widgets/accountkind.h"

#include "ui_payment.h"

LedgerSetup payment::setup()
{
    using E = LedgerSetup::Editor;
    LedgerSetup s;
    s.table = QStringLiteral("payment");
    s.headers = QStringList{QStringLiteral("开始日期"), QStringLiteral("结束日期"), QStringLiteral("购货单位"),
                 QStringLiteral("金额"), QStringLiteral("发票流水号"), QStringLiteral("资金流水号"),
                 QStringLiteral("利息"), QStringLiteral("备注"), QStringLiteral("付款类别"),
                 QStringLiteral("录入"), QStringLiteral("审核")};
    s.widths = {100, 100, 200, 100, 100, 100, 100, 100, 100, 100, 100};
    // The period of a payable is fixed once generated.
    s.editors = {E::ReadOnly, E::ReadOnly, E::ReadOnly, E::Money, E::Invoice, E::Cash,
                 E::ReadOnly, E::Plain, E::ReadOnly, E::ReadOnly, E::ReadOnly};
    s.invoiceColumn = 4;
    s.cashColumn = 5;
    s.interestColumn = 6;
    s.remarksColumn = 7;
    s.categoryColumn = 8;
    s.operatorColumn = 9;
    s.checkerColumn = 10;
    s.idColumn = 11;
    s.requiredColumns = {3, 4, 5};
    s.titles = QStringList{QStringLiteral("应付款管理"), QStringLiteral("应付（投标）管理"),
                QStringLiteral("应付（履约）管理"), QStringLiteral("应付（往来）管理")};
    s.partyLabel = QStringLiteral("购货单位");
    s.kindLabel = QStringLiteral("应付类型");
    s.queryFields = QStringList{QStringLiteral("公司"), QStringLiteral("金额")};
    s.partyList = QStringLiteral("select cast(supplier_id as varchar)+'-'+supplier_name as ps from supplier  union all select cast(customer_id as varchar)+'-'+customer_name as ps from customer where category<>'配送客户' order by ps ");
    s.periodsSql = QStringLiteral("select date_begin,date_end from payment where inout_category='%1' and company='%2'");
    s.invoiceHoldersSql = QStringLiteral("select invoice_id,id from payment where invoice_id in (%1)");
    s.cashHoldersSql = QStringLiteral("select info_id,id from payment where info_id in (%1)");
    s.missingText = QStringLiteral("金额或供应商不能为空");
    s.entryRight = QStringLiteral("应付录入");
    s.auditRight = QStringLiteral("应付审核");
    s.printTitle = QStringLiteral("应付明细报表");
    s.printHeaders = QStringList{QStringLiteral("开始日期"), QStringLiteral("结束日期"), QStringLiteral("购货单位"),
                      QStringLiteral("金额"), QStringLiteral("发票号"), QStringLiteral("资金号"),
                      QStringLiteral("利息"), QStringLiteral("备注"), QStringLiteral("类别"),
                      QStringLiteral("录入"), QStringLiteral("审核")};
    s.party = &SupplierParty;
    return s;
}

payment::payment(QWidget *parent) : LedgerForm(setup(), parent), m_ui(new Ui::payment)
{
    const QString title = windowTitle();
    m_ui->setupUi(this);
    setWindowTitle(title);
}

payment::~payment()
{
    delete m_ui;
}
