#include "app/formcatalog.h"
#include "app/loginstate.h"
#include "app/tarnix.h"
#include "support/messagerecorder.h"
#include "support/testdb.h"
#include "widgets/accountkind.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

// Stands in for a form that a later part of the program provides, and
// remembers the account kind that was set when it was built.
class ProbeForm : public QMainWindow
{
    Q_OBJECT
public:
    ProbeForm(const QString &formClass, QWidget *parent)
        : QMainWindow(parent)
        , kindAtConstruction(AccountKind)
    {
        setObjectName(formClass);
    }
    const QString kindAtConstruction;
};

// The windows that the main window has opened so far.
QList<QWidget *> openedForms(const tarnix &window)
{
    QList<QWidget *> forms;
    const QList<QWidget *> children = window.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (child->isWindow()) {
            forms << child;
        }
    }
    return forms;
}

QAction *actionNamed(const tarnix &window, const QString &text)
{
    const QList<QAction *> actions = window.findChildren<QAction *>();
    for (QAction *action : actions) {
        if (action->text() == text && !action->menu()) {
            return action;
        }
    }
    return nullptr;
}

QAbstractButton *buttonNamed(const tarnix &window, const QString &text)
{
    const QList<QAbstractButton *> buttons = window.centralWidget()->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (button->text() == text && !button->isHidden()
            && button->parentWidget()->objectName() != QLatin1String("frame")) {
            return button;
        }
    }
    return nullptr;
}

} // namespace

class tst_tarnix : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsTitleAndLogin();
    void menusHoldTheirEntriesInOrder();
    void homeButtons_data();
    void homeButtons();
    void buttonSheetsKeepTheirLength();
    void leftColumnShowsOnePageButton_data();
    void leftColumnShowsOnePageButton();
    void returnToListShowsTheHomeButtons();
    void menuEntriesOpenTheirForm_data();
    void menuEntriesOpenTheirForm();
    void buttonsOpenTheirForm_data();
    void buttonsOpenTheirForm();
    void pageButtonOpensItsForm();
    void accountKindIsSetBeforeTheFormIsBuilt_data();
    void accountKindIsSetBeforeTheFormIsBuilt();
    void entriesWithoutAFormAreDisabled();
    void twoOpeningsWriteTwoLogRows();
    void closingTheMainWindowClosesItsForms();

private:
    void standIn(const QString &formClass);

    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<MessageRecorder> m_messages;
    QHash<QString, FormCatalog::Factory> m_replaced;
};

void tst_tarnix::init()
{
    m_db.reset(new TestDb);
    QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
    m_messages.reset(new MessageRecorder);
    LoginState::companyName = QStringLiteral("测试公司");
    LoginState::userName = QStringLiteral(" test001 ");
    LoginState::rights = QStringLiteral("权限编辑,资产类别编辑");
    AccountKind.clear();
}

void tst_tarnix::cleanup()
{
    for (auto it = m_replaced.cbegin(); it != m_replaced.cend(); ++it) {
        FormCatalog::replace(it.key(), it.value());
    }
    m_replaced.clear();
    m_messages.reset();
    m_db.reset();
}

void tst_tarnix::standIn(const QString &formClass)
{
    if (!m_replaced.contains(formClass)) {
        m_replaced.insert(formClass, FormCatalog::factory(formClass));
    }
    FormCatalog::replace(formClass, [formClass](QWidget *parent) -> QWidget * {
        return new ProbeForm(formClass, parent);
    });
}

void tst_tarnix::showsTitleAndLogin()
{
    tarnix window;

    QCOMPARE(window.windowTitle(), QStringLiteral("澜拓进销存系统"));
    auto *status = window.statusBar()->findChild<QLabel *>(QStringLiteral("statusLabel"));
    QVERIFY(status);
    QCOMPARE(status->text(), QString(25, QLatin1Char(' ')) + QStringLiteral("测试公司[ test001 ]"));
    QCOMPARE(window.centralWidget()->styleSheet(), QStringLiteral("background-color: rgb(30, 119, 197);"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("label"))->styleSheet(),
             QStringLiteral("border-image: url(:/icon/bb.png);"));
    for (const char *frame : {"frame_2", "frame_3", "frame_4"}) {
        QCOMPARE(window.findChild<QFrame *>(QLatin1String(frame))->styleSheet(),
                 QStringLiteral("background-color: rgb(255, 255, 255);"));
    }
    for (const char *name : {"pushButton", "pushButton_2", "pushButton_3", "pushButton_8"}) {
        QCOMPARE(window.findChild<QPushButton *>(QLatin1String(name))->styleSheet(),
                 QStringLiteral("color: rgb(255, 255, 255);"));
    }
    QVERIFY(!QPixmap(QStringLiteral(":/icon/bb.png")).isNull());
}

void tst_tarnix::menusHoldTheirEntriesInOrder()
{
    tarnix window;
    QStringList menus;
    const QList<QAction *> bar = window.menuBar()->actions();
    for (const QAction *menuAction : bar) {
        QStringList entries;
        const QList<QAction *> actions = menuAction->menu()->actions();
        for (const QAction *action : actions) {
            entries << (action->isSeparator() ? QStringLiteral("—") : action->text());
        }
        menus << menuAction->text() + QLatin1Char(':') + entries.join(QLatin1Char(' '));
    }

    QCOMPARE(menus, (QStringList{
        QStringLiteral("基础资料(B):— 客户档案 供应商档案 — 修改密码 用户管理 商品资料 — 操作日志"),
        QStringLiteral("采购单据(C):采购录入|查询|打印"),
        QStringLiteral("送货单据(R):送货录入|查询|打印"),
        QStringLiteral("盈亏单据(Q):盈亏录入|查询"),
        QStringLiteral("管理报表(P):商品统计 毛利统计 采购明细"),
        QStringLiteral("财务及设置(F):员工资料 客户类别 供应商类别 资金分类 权限管理 — 发票登记 — "
                       "应收(货款) 应收(投标保证金) 应收(履约保证金) 应收(总分往来) — "
                       "应付(货款) 应付(投标保证金) 应付(履约保证金) 应付(总分往来) — "
                       "业务提成明细 应收款跟踪 应付款跟踪"),
    }));
    // The actions that name no form of this program exist but stay out of
    // the menus, as the comparison above shows.
    for (const char *text : {"资金审核", "资金报表", "应收审核", "应收报表", "发票审核", "发票报表",
                             "业务登记", "业务审核", "业务报表"}) {
        QVERIFY2(actionNamed(window, QString::fromUtf8(text)), text);
    }
}

void tst_tarnix::homeButtons_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("buttonStyle");

    const int under = Qt::ToolButtonTextUnderIcon;
    const int beside = Qt::ToolButtonTextBesideIcon;
    QTest::newRow("盈亏登记") << QStringLiteral("盈亏登记") << QStringLiteral("frame_2") << QRect(100, 150, 64, 88) << under;
    QTest::newRow("采购单据") << QStringLiteral("采购单据") << QStringLiteral("frame_2") << QRect(330, 150, 64, 88) << under;
    QTest::newRow("送货单据") << QStringLiteral("送货单据") << QStringLiteral("frame_2") << QRect(550, 150, 64, 88) << under;
    QTest::newRow("客户档案") << QStringLiteral("客户档案") << QStringLiteral("frame_3") << QRect(100, 25, 108, 48) << beside;
    QTest::newRow("供应商") << QStringLiteral("供应商") << QStringLiteral("frame_3") << QRect(250, 25, 108, 48) << beside;
    QTest::newRow("用户管理") << QStringLiteral("用户管理") << QStringLiteral("frame_3") << QRect(400, 25, 108, 48) << beside;
    QTest::newRow("商品明细") << QStringLiteral("商品明细") << QStringLiteral("frame_3") << QRect(550, 25, 108, 48) << beside;
}

void tst_tarnix::homeButtons()
{
    QFETCH(QString, text);
    QFETCH(QString, frame);
    QFETCH(QRect, geometry);
    QFETCH(int, buttonStyle);

    tarnix window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    auto *button = qobject_cast<QToolButton *>(buttonNamed(window, text));
    QVERIFY(button);
    QCOMPARE(button->parentWidget()->objectName(), frame);
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(int(button->toolButtonStyle()), buttonStyle);
    QCOMPARE(button->iconSize(), QSize(48, 48));
    QVERIFY(!button->icon().isNull());
    QCOMPARE(button->styleSheet(), tarnix::homeButtonSheet());
    QVERIFY(button->isVisible());
}

void tst_tarnix::buttonSheetsKeepTheirLength()
{
    QCOMPARE(tarnix::homeButtonSheet().size(), 296);
    QCOMPARE(tarnix::pageButtonSheet().size(), 302);
    QCOMPARE(tarnix::reportButtonSheet().size(), 309);
    QVERIFY(tarnix::homeButtonSheet().startsWith(QStringLiteral("QToolButton:hover{background-color:rgb(85, 170, 255); color: white;}")));
    QVERIFY(tarnix::reportButtonSheet().startsWith(QStringLiteral("QPushButton:hover{")));
    QVERIFY(tarnix::pageButtonSheet().endsWith(QString(29, QLatin1Char(' ')) + QStringLiteral("border-style: inset;}")));
}

void tst_tarnix::leftColumnShowsOnePageButton_data()
{
    QTest::addColumn<QString>("leftButton");
    QTest::addColumn<QString>("pageText");

    QTest::newRow("采购单据") << QStringLiteral("pushButton") << QStringLiteral("采购单据");
    QTest::newRow("送货单据") << QStringLiteral("pushButton_2") << QStringLiteral("送货单据");
    QTest::newRow("盈亏单据 reads 盈亏登记") << QStringLiteral("pushButton_3") << QStringLiteral("盈亏登记");
}

void tst_tarnix::leftColumnShowsOnePageButton()
{
    QFETCH(QString, leftButton);
    QFETCH(QString, pageText);

    tarnix window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *page = window.findChild<QFrame *>(QStringLiteral("frame_2"));

    QTest::mouseClick(window.findChild<QPushButton *>(leftButton), Qt::LeftButton);

    QList<QToolButton *> visible;
    for (QToolButton *button : page->findChildren<QToolButton *>()) {
        if (button->isVisible()) {
            visible << button;
        }
    }
    QCOMPARE(visible.size(), 1);
    QCOMPARE(visible.first()->text(), pageText);
    QCOMPARE(visible.first()->geometry(), QRect(300, 150, 64, 88));
    QCOMPARE(visible.first()->styleSheet(), tarnix::pageButtonSheet());
    QCOMPARE(visible.first()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QVERIFY(!visible.first()->icon().isNull());
    for (QLabel *label : page->findChildren<QLabel *>()) {
        QVERIFY(!label->isVisible());
    }
}

void tst_tarnix::returnToListShowsTheHomeButtons()
{
    tarnix window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *page = window.findChild<QFrame *>(QStringLiteral("frame_2"));
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("pushButton_2")), Qt::LeftButton);

    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("pushButton_8")), Qt::LeftButton);

    QStringList visible;
    for (QToolButton *button : page->findChildren<QToolButton *>()) {
        if (button->isVisible()) {
            visible << button->text();
        }
    }
    visible.sort();
    QStringList expected = {QStringLiteral("盈亏登记"), QStringLiteral("采购单据"), QStringLiteral("送货单据")};
    expected.sort();
    QCOMPARE(visible, expected);
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("pushButton_8"))->text(), QStringLiteral("返回列表"));
}

namespace {

void addEntryColumns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("formClass");
    QTest::addColumn<bool>("maximized");
}

} // namespace

void tst_tarnix::menuEntriesOpenTheirForm_data()
{
    addEntryColumns();
    const QList<std::tuple<const char *, const char *, bool>> rows = {
        {"客户档案", "customer", true},
        {"供应商档案", "supplier", true},
        {"修改密码", "pwd_update", false},
        {"用户管理", "user_edit", false},
        {"商品资料", "goods", true},
        {"操作日志", "rizhi", true},
        {"采购录入|查询|打印", "purchar", true},
        {"送货录入|查询|打印", "sell", true},
        {"盈亏录入|查询", "inventory", true},
        {"商品统计", "erp", true},
        {"毛利统计", "profit", true},
        {"采购明细", "purchar_info", true},
        {"员工资料", "employee", false},
        {"客户类别", "category_customer", false},
        {"供应商类别", "category_supplier", false},
        {"资金分类", "category_cash", false},
        {"权限管理", "power_edit", false},
        {"发票登记", "invoice", true},
        {"应收(货款)", "receivable", true},
        {"应收(投标保证金)", "receivable", true},
        {"应收(履约保证金)", "receivable", true},
        {"应收(总分往来)", "receivable", true},
        {"应付(货款)", "payment", true},
        {"应付(投标保证金)", "payment", true},
        {"应付(履约保证金)", "payment", true},
        {"应付(总分往来)", "payment", true},
        {"业务提成明细", "commision", true},
        {"应收款跟踪", "receivable_info", true},
        {"应付款跟踪", "payment_info", true},
    };
    for (const auto &row : rows) {
        QTest::newRow(std::get<0>(row)) << QString::fromUtf8(std::get<0>(row))
                                        << QString::fromLatin1(std::get<1>(row)) << std::get<2>(row);
    }
}

void tst_tarnix::menuEntriesOpenTheirForm()
{
    QFETCH(QString, text);
    QFETCH(QString, formClass);
    QFETCH(bool, maximized);

    tarnix window;
    QAction *action = actionNamed(window, text);
    QVERIFY(action);
    if (!FormCatalog::contains(formClass)) {
        QVERIFY(!action->isEnabled());
        return;
    }
    QVERIFY(action->isEnabled());

    action->trigger();
    action->trigger();

    const QList<QWidget *> forms = openedForms(window);
    QCOMPARE(forms.size(), 2);
    QVERIFY(forms.at(0) != forms.at(1));
    for (QWidget *form : forms) {
        QCOMPARE(QString::fromLatin1(form->metaObject()->className()), formClass);
        QCOMPARE(form->parentWidget(), &window);
        QVERIFY(form->isVisible());
        QVERIFY(!form->isModal());
        QCOMPARE(form->windowState().testFlag(Qt::WindowMaximized), maximized);
    }
}

void tst_tarnix::buttonsOpenTheirForm_data()
{
    addEntryColumns();
    const QList<std::tuple<const char *, const char *, bool>> rows = {
        {"客户档案", "customer", true},
        {"供应商", "supplier", true},
        {"用户管理", "user_edit", false},
        {"商品明细", "goods", true},
        {"采购单据", "purchar", true},
        {"送货单据", "sell", true},
        {"盈亏登记", "inventory", true},
        {"商品统计", "erp", true},
        {"毛利统计", "profit", true},
        {"采购明细", "purchar_info", true},
    };
    for (const auto &row : rows) {
        QTest::newRow(std::get<0>(row)) << QString::fromUtf8(std::get<0>(row))
                                        << QString::fromLatin1(std::get<1>(row)) << std::get<2>(row);
    }
}

void tst_tarnix::buttonsOpenTheirForm()
{
    QFETCH(QString, text);
    QFETCH(QString, formClass);
    QFETCH(bool, maximized);

    tarnix window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QAbstractButton *button = buttonNamed(window, text);
    QVERIFY(button);
    if (!FormCatalog::contains(formClass)) {
        QVERIFY(!button->isEnabled());
        return;
    }
    QVERIFY(button->isEnabled());

    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);

    const QList<QWidget *> forms = openedForms(window);
    QCOMPARE(forms.size(), 2);
    for (QWidget *form : forms) {
        QCOMPARE(QString::fromLatin1(form->metaObject()->className()), formClass);
        QCOMPARE(form->windowState().testFlag(Qt::WindowMaximized), maximized);
    }
}

void tst_tarnix::pageButtonOpensItsForm()
{
    standIn(QStringLiteral("inventory"));
    tarnix window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("pushButton_3")), Qt::LeftButton);
    QAbstractButton *page = buttonNamed(window, QStringLiteral("盈亏登记"));
    QVERIFY(page);
    QCOMPARE(page->pos(), QPoint(300, 150));

    QTest::mouseClick(page, Qt::LeftButton);

    const QList<QWidget *> forms = openedForms(window);
    QCOMPARE(forms.size(), 1);
    QCOMPARE(forms.first()->objectName(), QStringLiteral("inventory"));
    QVERIFY(forms.first()->windowState().testFlag(Qt::WindowMaximized));
}

void tst_tarnix::accountKindIsSetBeforeTheFormIsBuilt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("formClass");
    QTest::addColumn<QString>("kind");

    QTest::newRow("trade receivables") << QStringLiteral("应收(货款)") << QStringLiteral("receivable") << QStringLiteral("货款");
    QTest::newRow("tender receivables") << QStringLiteral("应收(投标保证金)") << QStringLiteral("receivable") << QStringLiteral("投标");
    QTest::newRow("bond receivables") << QStringLiteral("应收(履约保证金)") << QStringLiteral("receivable") << QStringLiteral("履约");
    QTest::newRow("current receivables") << QStringLiteral("应收(总分往来)") << QStringLiteral("receivable") << QStringLiteral("往来");
    QTest::newRow("trade payables") << QStringLiteral("应付(货款)") << QStringLiteral("payment") << QStringLiteral("货款");
    QTest::newRow("tender payables") << QStringLiteral("应付(投标保证金)") << QStringLiteral("payment") << QStringLiteral("投标");
    QTest::newRow("bond payables") << QStringLiteral("应付(履约保证金)") << QStringLiteral("payment") << QStringLiteral("履约");
    QTest::newRow("current payables") << QStringLiteral("应付(总分往来)") << QStringLiteral("payment") << QStringLiteral("往来");
}

void tst_tarnix::accountKindIsSetBeforeTheFormIsBuilt()
{
    QFETCH(QString, text);
    QFETCH(QString, formClass);
    QFETCH(QString, kind);

    standIn(formClass);
    AccountKind = QStringLiteral("其他");
    tarnix window;
    QAction *action = actionNamed(window, text);
    QVERIFY(action->isEnabled());

    action->trigger();

    const QList<QWidget *> forms = openedForms(window);
    QCOMPARE(forms.size(), 1);
    auto *probe = qobject_cast<ProbeForm *>(forms.first());
    QVERIFY(probe);
    QCOMPARE(probe->objectName(), formClass);
    QCOMPARE(probe->kindAtConstruction, kind);
    QVERIFY(probe->windowState().testFlag(Qt::WindowMaximized));
}

void tst_tarnix::entriesWithoutAFormAreDisabled()
{
    m_replaced.insert(QStringLiteral("user_edit"), FormCatalog::factory(QStringLiteral("user_edit")));
    FormCatalog::replace(QStringLiteral("user_edit"), FormCatalog::Factory());
    standIn(QStringLiteral("goods"));

    tarnix window;

    QVERIFY(!actionNamed(window, QStringLiteral("用户管理"))->isEnabled());
    QVERIFY(!buttonNamed(window, QStringLiteral("用户管理"))->isEnabled());
    QVERIFY(actionNamed(window, QStringLiteral("商品资料"))->isEnabled());
    QVERIFY(buttonNamed(window, QStringLiteral("商品明细"))->isEnabled());
}

void tst_tarnix::twoOpeningsWriteTwoLogRows()
{
    if (!FormCatalog::contains(QStringLiteral("user_edit"))) {
        QSKIP("the user administration is not part of this build");
    }
    QVERIFY(m_db->exec(QStringLiteral("delete from operator")));
    tarnix window;

    actionNamed(window, QStringLiteral("用户管理"))->trigger();
    actionNamed(window, QStringLiteral("用户管理"))->trigger();

    QCOMPARE(m_db->rows(QStringLiteral("select user_name,operator from operator order by id")),
             (QList<QStringList>{{QStringLiteral(" test001 "), QStringLiteral("用户管理")},
                                 {QStringLiteral(" test001 "), QStringLiteral("用户管理")}}));
}

void tst_tarnix::closingTheMainWindowClosesItsForms()
{
    standIn(QStringLiteral("goods"));
    standIn(QStringLiteral("employee"));
    auto *window = new tarnix;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    actionNamed(*window, QStringLiteral("商品资料"))->trigger();
    actionNamed(*window, QStringLiteral("员工资料"))->trigger();
    const QList<QWidget *> opened = openedForms(*window);
    QCOMPARE(opened.size(), 2);
    QList<QPointer<QWidget>> forms;
    for (QWidget *form : opened) {
        forms << form;
        QVERIFY(form->isVisible());
    }

    window->close();
    QVERIFY(!window->isVisible());
    for (const QPointer<QWidget> &form : qAsConst(forms)) {
        QVERIFY(!form || !form->isVisible());
    }

    delete window;
    for (const QPointer<QWidget> &form : qAsConst(forms)) {
        QVERIFY(form.isNull());
    }
}

QTEST_MAIN(tst_tarnix)
#include "tst_tarnix.moc"
