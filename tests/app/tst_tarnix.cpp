#include "app/shell/formcatalog.h"
#include "app/loginstate.h"
#include "app/shell/tarnix.h"
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

    void showsTitleLoginAndMenus();
    void leftColumnShowsOnePageButton_data();
    void leftColumnShowsOnePageButton();
    void entriesOpenTheirForm_data();
    void entriesOpenTheirForm();
    void accountKindIsSetBeforeTheFormIsBuilt();
    void entriesWithoutAFormAreDisabled();
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

void tst_tarnix::showsTitleLoginAndMenus()
{
    tarnix window;
    QCOMPARE(window.windowTitle(), QStringLiteral("澜拓进销存系统"));
    auto *status = window.statusBar()->findChild<QLabel *>(QStringLiteral("statusLabel"));
    QVERIFY(status);
    QCOMPARE(status->text(), QString(25, QLatin1Char(' ')) + QStringLiteral("测试公司[ test001 ]"));

    QStringList menus;
    const QList<QAction *> bar = window.menuBar()->actions();
    for (const QAction *menuAction : bar) {
        QStringList entries;
        const QList<QAction *> actions = menuAction->menu()->actions();
        for (const QAction *action : actions) {
            entries << (action->isSeparator() ? QStringLiteral("—") : action->text());
        }
        // The shown title: the "&" only marks the Alt letter.
        menus << menuAction->text().remove(QLatin1Char('&')) + QLatin1Char(':')
                     + entries.join(QLatin1Char(' '));
    }

    QCOMPARE(menus, (QStringList{
        "基础资料(B):— 客户档案 供应商档案 — 修改密码 用户管理 商品资料 — 操作日志", "采购单据(C):采购录入|查询|打印",
        "送货单据(R):送货录入|查询|打印", "盈亏单据(Q):盈亏录入|查询", "管理报表(P):商品统计 毛利统计 采购明细",
        QStringLiteral("财务及设置(F):员工资料 客户类别 供应商类别 资金分类 权限管理 — 发票登记 资金日记账 — "
                       "应收(货款) 应收(投标保证金) 应收(履约保证金) 应收(总分往来) — "
                       "应付(货款) 应付(投标保证金) 应付(履约保证金) 应付(总分往来) — "
                       "业务提成明细 应收款跟踪 应付款跟踪"),
    }));
}

void tst_tarnix::leftColumnShowsOnePageButton_data()
{
    QTest::addColumn<QString>("leftButton");
    QTest::addColumn<QString>("pageText");

    QTest::newRow("采购单据") << "pushButton" << "采购单据";
    QTest::newRow("送货单据") << "pushButton_2" << "送货单据";
    QTest::newRow("盈亏单据 reads 盈亏登记") << "pushButton_3" << "盈亏登记";
}

// The page buttons open their forms as entriesOpenTheirForm shows.
void tst_tarnix::leftColumnShowsOnePageButton()
{
    QFETCH(QString, leftButton);
    QFETCH(QString, pageText);

    tarnix window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *page = window.findChild<QFrame *>(QStringLiteral("frame_2"));
    const auto visibleTexts = [page]() {
        QStringList visible;
        for (QWidget *child : page->findChildren<QWidget *>()) {
            if (child->isVisible()) {
                visible << (qobject_cast<QLabel *>(child) ? QStringLiteral("label") : child->property("text").toString());
            }
        }
        visible.sort();
        return visible;
    };

    QTest::mouseClick(window.findChild<QPushButton *>(leftButton), Qt::LeftButton);
    QCOMPARE(visibleTexts(), QStringList{pageText});
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("pushButton_8")), Qt::LeftButton);
    QStringList home = visibleTexts();
    home.removeAll(QStringLiteral("label"));
    QCOMPARE(home, (QStringList{"盈亏登记", "送货单据", "采购单据"}));
}

void tst_tarnix::entriesOpenTheirForm_data()
{
    QTest::addColumn<bool>("viaButton");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("formClass");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<QString>("kind"); // the account kind set for the form

    const QList<std::tuple<const char *, const char *, bool>> menu = {
        {"客户档案", "customer", true}, {"供应商档案", "supplier", true}, {"修改密码", "pwd_update", false},
        {"用户管理", "user_edit", false}, {"商品资料", "goods", true}, {"操作日志", "rizhi", true},
        {"采购录入|查询|打印", "purchar", true}, {"送货录入|查询|打印", "sell", true}, {"盈亏录入|查询", "inventory", true},
        {"商品统计", "erp", true}, {"毛利统计", "profit", true}, {"采购明细", "purchar_info", true},
        {"员工资料", "employee", false}, {"客户类别", "category_customer", false},
        {"供应商类别", "category_supplier", false}, {"资金分类", "category_cash", false}, {"权限管理", "power_edit", false},
        {"发票登记", "invoice", true}, {"资金日记账", "cashbook", true}, {"应收(货款)", "receivable", true}, {"应收(投标保证金)", "receivable", true},
        {"应收(履约保证金)", "receivable", true}, {"应收(总分往来)", "receivable", true}, {"应付(货款)", "payment", true},
        {"应付(投标保证金)", "payment", true}, {"应付(履约保证金)", "payment", true}, {"应付(总分往来)", "payment", true},
        {"业务提成明细", "commision", true}, {"应收款跟踪", "receivable_info", true}, {"应付款跟踪", "payment_info", true},
    };
    const QList<std::tuple<const char *, const char *, bool>> buttons = {
        {"客户档案", "customer", true},     {"供应商", "supplier", true},    {"用户管理", "user_edit", false},
        {"商品明细", "goods", true},        {"采购单据", "purchar", true},   {"送货单据", "sell", true},
        {"盈亏登记", "inventory", true},    {"商品统计", "erp", true},       {"毛利统计", "profit", true},
        {"采购明细", "purchar_info", true},
    };
    // The receivables and payables in brackets, and the kind each sets.
    const QHash<QString, QString> kinds{
        {"货款", "货款"}, {"投标保证金", "投标"}, {"履约保证金", "履约"}, {"总分往来", "往来"}};
    for (const bool viaButton : {false, true}) {
        for (const auto &row : viaButton ? buttons : menu) {
            const QString text = QString::fromUtf8(std::get<0>(row));
            QTest::addRow("%s %s", viaButton ? "button" : "menu", std::get<0>(row))
                << viaButton << text << QString::fromLatin1(std::get<1>(row)) << std::get<2>(row)
                << kinds.value(text.section(QLatin1Char('('), 1).remove(QLatin1Char(')')));
        }
    }
}

// Every entry opens its form, a new window each time, or is disabled when
// this build has no such form.
void tst_tarnix::entriesOpenTheirForm()
{
    QFETCH(bool, viaButton);
    QFETCH(QString, text);
    QFETCH(QString, formClass);
    QFETCH(bool, maximized);
    QFETCH(QString, kind);

    tarnix window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QAction *action = viaButton ? nullptr : actionNamed(window, text);
    QAbstractButton *button = viaButton ? buttonNamed(window, text) : nullptr;
    QVERIFY(action || button);
    const bool enabled = action ? action->isEnabled() : button->isEnabled();
    QCOMPARE(enabled, FormCatalog::contains(formClass));
    if (!enabled) {
        return;
    }
    for (int i = 0; i < 2; ++i) {
        if (action) {
            action->trigger();
        } else {
            QTest::mouseClick(button, Qt::LeftButton);
        }
    }

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
    QCOMPARE(AccountKind, kind);
}

// The receivable and payable forms read the kind while they are built; each
// entry's kind is checked in entriesOpenTheirForm.
void tst_tarnix::accountKindIsSetBeforeTheFormIsBuilt()
{
    standIn(QStringLiteral("payment"));
    AccountKind = QStringLiteral("其他");
    tarnix window;
    actionNamed(window, QStringLiteral("应付(履约保证金)"))->trigger();

    const QList<QWidget *> forms = openedForms(window);
    QCOMPARE(forms.size(), 1);
    auto *probe = qobject_cast<ProbeForm *>(forms.first());
    QVERIFY(probe);
    QCOMPARE(probe->kindAtConstruction, QStringLiteral("履约"));
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
    const QList<QPointer<QWidget>> forms{opened.at(0), opened.at(1)};
    QVERIFY(forms.at(0)->isVisible() && forms.at(1)->isVisible());

    window->close();
    QVERIFY(!window->isVisible());
    for (const QPointer<QWidget> &form : forms) {
        QVERIFY(!form || !form->isVisible());
    }
    delete window;
    QVERIFY(forms.at(0).isNull() && forms.at(1).isNull());
}

QTEST_MAIN(tst_tarnix)
#include "tst_tarnix.moc"
