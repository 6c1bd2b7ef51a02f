#include "app/shell/tarnix.h"
#include "ui_tarnix.h"

#include "app/shell/formcatalog.h"
#include "app/shell/iconresources.h"
#include "app/loginstate.h"
#include "widgets/accountkind.h"
#include "widgets/formguard.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QToolButton>

// One way of opening a form: the menu entry and the button that open it (an
// empty text has none), the form's class in FormCatalog, whether it opens
// maximized, and for receivables and payables the account kind that the form
// reads while it is built.
struct tarnix::Entry
{
    QString menuText;
    QString buttonText;
    QString formClass;
    bool maximized;
    QString accountKind;
};

namespace {

// The three kinds of button share one design: white with blue text and round
// corners, blue with white text under the mouse, sunken when pressed. They
// differ only in the widget class and the run of blanks before the last rule.
QString buttonSheet(const QString &widgetClass, int blanks)
{
    return QStringLiteral("%1:hover{background-color:rgb(85, 170, 255); color: white;}"
                          "%1{background-color:white; color: rgb(30, 119, 197); border-radius:10px;"
                          " border:2px groove white; border-style: outset;}"
                          "%1:pressed{background-color:rgb(85, 170, 255);")
               .arg(widgetClass)
           + QString(blanks, QLatin1Char(' ')) + QStringLiteral("border-style: inset;}");
}

const QSize pageButtonSize(64, 88);
const QSize buttonIconSize(48, 48);

// The fixed button sizes leave room for four characters of 12 pixels beside
// or under a 48-pixel icon; a larger desktop font would cut the names short.
void fitLabel(QToolButton *button)
{
    QFont font = button->font();
    font.setPixelSize(12);
    button->setFont(font);
}

} // namespace

QString tarnix::homeButtonSheet()
{
    return buttonSheet(QStringLiteral("QToolButton"), 23);
}

QString tarnix::pageButtonSheet()
{
    return buttonSheet(QStringLiteral("QToolButton"), 29);
}

QString tarnix::reportButtonSheet()
{
    return buttonSheet(QStringLiteral("QPushButton"), 36);
}

const QList<tarnix::Entry> &tarnix::entries()
{
    static const QList<Entry> table = {
        {QStringLiteral("客户档案"), QStringLiteral("客户档案"), QStringLiteral("customer"), true, {}},
        {QStringLiteral("供应商档案"), QStringLiteral("供应商"), QStringLiteral("supplier"), true, {}},
        {QStringLiteral("修改密码"), {}, QStringLiteral("pwd_update"), false, {}},
        {QStringLiteral("用户管理"), QStringLiteral("用户管理"), QStringLiteral("user_edit"), false, {}},
        {QStringLiteral("商品资料"), QStringLiteral("商品明细"), QStringLiteral("goods"), true, {}},
        {QStringLiteral("采购录入|查询|打印"), QStringLiteral("采购单据"), QStringLiteral("purchar"), true, {}},
        {QStringLiteral("送货录入|查询|打印"), QStringLiteral("送货单据"), QStringLiteral("sell"), true, {}},
        {QStringLiteral("盈亏录入|查询"), QStringLiteral("盈亏登记"), QStringLiteral("inventory"), true, {}},
        {QStringLiteral("商品统计"), QStringLiteral("商品统计"), QStringLiteral("erp"), true, {}},
        {QStringLiteral("毛利统计"), QStringLiteral("毛利统计"), QStringLiteral("profit"), true, {}},
        {QStringLiteral("采购明细"), QStringLiteral("采购明细"), QStringLiteral("purchar_info"), true, {}},
        {QStringLiteral("操作日志"), {}, QStringLiteral("rizhi"), true, {}},

        // The forms that have no place in the menus above share a menu of
        // their own. The small list editors keep their fixed size.
        {QStringLiteral("员工资料"), {}, QStringLiteral("employee"), false, {}},
        {QStringLiteral("客户类别"), {}, QStringLiteral("category_customer"), false, {}},
        {QStringLiteral("供应商类别"), {}, QStringLiteral("category_supplier"), false, {}},
        {QStringLiteral("资金分类"), {}, QStringLiteral("category_cash"), false, {}},
        {QStringLiteral("权限管理"), {}, QStringLiteral("power_edit"), false, {}},
        {QStringLiteral("发票登记"), {}, QStringLiteral("invoice"), true, {}},
        {QStringLiteral("资金日记账"), {}, QStringLiteral("cashbook"), true, {}},
        {QStringLiteral("应收(货款)"), {}, QStringLiteral("receivable"), true, QStringLiteral("货款")},
        {QStringLiteral("应收(投标保证金)"), {}, QStringLiteral("receivable"), true, QStringLiteral("投标")},
        {QStringLiteral("应收(履约保证金)"), {}, QStringLiteral("receivable"), true, QStringLiteral("履约")},
        {QStringLiteral("应收(总分往来)"), {}, QStringLiteral("receivable"), true, QStringLiteral("往来")},
        {QStringLiteral("应付(货款)"), {}, QStringLiteral("payment"), true, QStringLiteral("货款")},
        {QStringLiteral("应付(投标保证金)"), {}, QStringLiteral("payment"), true, QStringLiteral("投标")},
        {QStringLiteral("应付(履约保证金)"), {}, QStringLiteral("payment"), true, QStringLiteral("履约")},
        {QStringLiteral("应付(总分往来)"), {}, QStringLiteral("payment"), true, QStringLiteral("往来")},
        {QStringLiteral("业务提成明细"), {}, QStringLiteral("commision"), true, {}},
        {QStringLiteral("应收款跟踪"), {}, QStringLiteral("receivable_info"), true, {}},
        {QStringLiteral("应付款跟踪"), {}, QStringLiteral("payment_info"), true, {}},
    };
    return table;
}

tarnix::tarnix(QWidget *parent)
    : QMainWindow(parent)
    , m_ui(new Ui::tarnix)
{
    initIconResources();
    m_ui->setupUi(this);
    m_banner.load(QStringLiteral(":/icon/bb.png"));
    m_ui->label->installEventFilter(this);

    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    m_statusLabel->setText(QString(25, QLatin1Char(' '))
                           + QStringLiteral("%1[%2]").arg(LoginState::companyName, LoginState::userName));
    statusBar()->addWidget(m_statusLabel, 0);

    const Qt::ToolButtonStyle under = Qt::ToolButtonTextUnderIcon;
    const Qt::ToolButtonStyle beside = Qt::ToolButtonTextBesideIcon;
    m_pageHomeButtons << addHomeButton(m_ui->frame_2, QStringLiteral("盈亏登记"), QStringLiteral(":/icon/fapiao.png"),
                                       QPoint(100, 150), pageButtonSize, under)
                      << addHomeButton(m_ui->frame_2, QStringLiteral("采购单据"), QStringLiteral(":/icon/genzong.png"),
                                       QPoint(330, 150), pageButtonSize, under)
                      << addHomeButton(m_ui->frame_2, QStringLiteral("送货单据"), QStringLiteral(":/icon/zijin.png"),
                                       QPoint(550, 150), pageButtonSize, under);
    const QSize listButtonSize(108, 48);
    m_listHomeButtons << addHomeButton(m_ui->frame_3, QStringLiteral("客户档案"), QStringLiteral(":/icon/kehu.png"),
                                       QPoint(100, 25), listButtonSize, beside)
                      << addHomeButton(m_ui->frame_3, QStringLiteral("供应商"), QStringLiteral(":/icon/gongyishang.png"),
                                       QPoint(250, 25), listButtonSize, beside)
                      << addHomeButton(m_ui->frame_3, QStringLiteral("用户管理"), QStringLiteral(":/icon/yuangong.png"),
                                       QPoint(400, 25), listButtonSize, beside)
                      << addHomeButton(m_ui->frame_3, QStringLiteral("商品明细"), QStringLiteral(":/icon/fenlei.png"),
                                       QPoint(550, 25), listButtonSize, beside);

    // The page buttons wait hidden in frame_2 until their page is chosen in
    // the left column.
    for (int page = 0; page < 3; ++page) {
        auto *button = new QToolButton(m_ui->frame_2);
        button->setObjectName(QStringLiteral("pageButton_%1").arg(page + 1));
        button->hide();
        m_pageButtons << button;
    }

    const QList<QPushButton *> reportButtons = {m_ui->pushButton_11, m_ui->pushButton_13,
                                                m_ui->pushButton_15};
    const QList<int> reportX = {200, 300, 420};
    for (int i = 0; i < reportButtons.size(); ++i) {
        reportButtons[i]->setStyleSheet(reportButtonSheet());
        reportButtons[i]->setIcon(QIcon(QStringLiteral(":/icon/tools1.png")));
        reportButtons[i]->move(reportX[i], 30);
        enableForForm(reportButtons[i]);
    }
    m_ui->label_7->move(20, 30);

    // The arrows of the process picture stay hidden.
    const QList<QLabel *> arrows = m_ui->frame_2->findChildren<QLabel *>();
    for (QLabel *arrow : arrows) {
        arrow->hide();
    }

    QList<QAbstractButton *> dispatched;
    for (QToolButton *button : qAsConst(m_pageHomeButtons)) {
        dispatched << button;
    }
    for (QToolButton *button : qAsConst(m_listHomeButtons)) {
        dispatched << button;
    }
    for (QToolButton *button : qAsConst(m_pageButtons)) {
        dispatched << button;
    }
    for (QPushButton *button : reportButtons) {
        dispatched << button;
    }
    for (QAbstractButton *button : qAsConst(dispatched)) {
        connect(button, &QAbstractButton::clicked, this, &tarnix::button_all_clicked);
    }

    // Entries whose form the program does not have yet are shown but cannot
    // be chosen.
    const QList<QAction *> actions = findChildren<QAction *>();
    for (QAction *action : actions) {
        bool known = false;
        bool available = false;
        for (const Entry &entry : entries()) {
            if (entry.menuText == action->text()) {
                known = true;
                available = available || FormCatalog::contains(entry.formClass);
            }
        }
        if (known) {
            action->setEnabled(available);
            connect(action, &QAction::triggered, this, &tarnix::action_all_clicked);
        }
    }

    setWindowTitle(QStringLiteral("澜拓进销存系统"));
}

tarnix::~tarnix() = default;

QToolButton *tarnix::addHomeButton(QWidget *frame, const QString &text, const QString &icon,
                                   const QPoint &at, const QSize &size,
                                   Qt::ToolButtonStyle buttonStyle)
{
    auto *button = new QToolButton(frame);
    button->setText(text);
    button->setIcon(QIcon(icon));
    button->setIconSize(buttonIconSize);
    button->setToolButtonStyle(buttonStyle);
    button->setGeometry(QRect(at, size));
    button->setStyleSheet(homeButtonSheet());
    fitLabel(button);
    enableForForm(button);
    button->show();
    return button;
}

// A button whose form the program does not have yet is shown but disabled.
void tarnix::enableForForm(QAbstractButton *button)
{
    bool available = false;
    for (const Entry &entry : entries()) {
        if (entry.buttonText == button->text()) {
            available = available || FormCatalog::contains(entry.formClass);
        }
    }
    button->setEnabled(available);
}

void tarnix::open(const Entry &entry)
{
    const FormCatalog::Factory create = FormCatalog::factory(entry.formClass);
    if (!create) {
        return;
    }
    // The receivable and payable forms read the kind while they are built.
    if (!entry.accountKind.isEmpty()) {
        AccountKind = entry.accountKind;
    }
    QWidget *form = create(this);
    // Owned by this window but a window of its own, so that it is not drawn
    // inside the launcher and goes away with it.
    if (!form->isWindow()) {
        form->setWindowFlag(Qt::Window, true);
    }
    form->setAttribute(Qt::WA_DeleteOnClose);
    FormGuard::install(form);
    if (FormGuard::restoreGeometry(form)) {
        form->show();
    } else if (entry.maximized) {
        form->showMaximized();
    } else {
        form->show();
    }
}

void tarnix::action_all_clicked()
{
    const auto *action = qobject_cast<QAction *>(sender());
    if (!action) {
        return;
    }
    const QString text = action->text();
    for (const Entry &entry : entries()) {
        if (entry.menuText == text) {
            open(entry);
        }
    }
}

void tarnix::button_all_clicked()
{
    const auto *button = qobject_cast<QAbstractButton *>(sender());
    if (!button) {
        return;
    }
    const QString text = button->text();
    for (const Entry &entry : entries()) {
        if (!entry.buttonText.isEmpty() && entry.buttonText == text) {
            open(entry);
        }
    }
}

void tarnix::closeEvent(QCloseEvent *event)
{
    // The opened forms are separate windows; they leave with the launcher.
    const QList<QWidget *> children = findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    QList<QWidget *> forms;
    for (QWidget *child : children) {
        if (child->isWindow() && child->isVisible()) {
            forms << child;
        }
    }
    // One question for all the forms with unsaved edits, not one per form.
    if (!FormGuard::confirmDiscardAll(forms)) {
        event->ignore();
        return;
    }
    for (QWidget *child : children) {
        if (child->isWindow() && child->isVisible()) {
            child->close();
        }
    }
    QMainWindow::closeEvent(event);
}

bool tarnix::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->label && event->type() == QEvent::Resize) {
        drawBanner();
    }
    return QMainWindow::eventFilter(watched, event);
}

// The banner keeps its proportions however wide the window is: the picture
// takes the label's height, its title stays at the left and its motto at the
// right, and the plain sky and waves between them carry on across the gap. A
// label narrower than the picture shows it whole, smaller.
void tarnix::drawBanner()
{
    const QSize size = m_ui->label->size();
    if (m_banner.isNull() || size.isEmpty()) {
        return;
    }
    QPixmap picture = m_banner.scaledToHeight(size.height(), Qt::SmoothTransformation);
    if (picture.width() > size.width()) {
        picture = m_banner.scaledToWidth(size.width(), Qt::SmoothTransformation);
    }
    const int height = picture.height();
    const int top = (size.height() - height) / 2;
    const int split = picture.width() * 3 / 5;
    const int rest = picture.width() - split;
    QPixmap banner(size);
    banner.fill(Qt::transparent);
    QPainter painter(&banner);
    painter.drawPixmap(QRect(0, top, split, height), picture, QRect(0, 0, split, height));
    painter.drawPixmap(QRect(split, top, size.width() - picture.width(), height), picture,
                       QRect(split, 0, 1, height));
    painter.drawPixmap(QRect(size.width() - rest, top, rest, height), picture, QRect(split, 0, rest, height));
    painter.end();
    m_ui->label->setPixmap(banner);
}

void tarnix::hidePageContents()
{
    const QList<QToolButton *> buttons = m_ui->frame_2->findChildren<QToolButton *>();
    for (QToolButton *button : buttons) {
        button->hide();
    }
    const QList<QLabel *> labels = m_ui->frame_2->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        label->hide();
    }
}

void tarnix::showPage(int page, const QString &text, const QString &icon)
{
    hidePageContents();
    QToolButton *button = m_pageButtons.at(page);
    button->setText(text);
    button->setParent(m_ui->frame_2);
    button->setGeometry(QRect(QPoint(300, 150), pageButtonSize));
    button->setStyleSheet(pageButtonSheet());
    fitLabel(button);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIcon(QIcon(icon));
    button->setIconSize(buttonIconSize);
    enableForForm(button);
    button->show();
}

void tarnix::on_pushButton_clicked()
{
    showPage(0, QStringLiteral("采购单据"), QStringLiteral(":/icon/huikuan.png"));
}

void tarnix::on_pushButton_2_clicked()
{
    showPage(1, QStringLiteral("送货单据"), QStringLiteral(":/icon/yingshou.png"));
}

void tarnix::on_pushButton_3_clicked()
{
    showPage(2, QStringLiteral("盈亏登记"), QStringLiteral(":/icon/shenhe.png"));
}

void tarnix::on_pushButton_8_clicked()
{
    hidePageContents();
    for (QToolButton *button : qAsConst(m_pageHomeButtons)) {
        button->show();
    }
}
