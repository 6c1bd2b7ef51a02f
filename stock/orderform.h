#pragma once

#include "widgets/formguard.h"

#include <QMainWindow>
#include <QModelIndex>
#include <QSqlQuery>
#include <QString>
#include <QHash>
#include <QStringList>

#include <functional>

class OrderPrintForm;
class QComboBox;
class QTimer;
class QTableWidget;
class QTableWidgetItem;

namespace Ui {
class OrderForm;
}

// What a purchase order and a delivery note differ in: the texts of the
// window, the number prefix, the statements on their own table and the
// printed form they hand over to.
struct OrderFormSetup
{
    QString partyLabel;     // "供应商名称"
    QString queryButton;    // "查询采购单"
    QString newButton;      // "新增采购单"
    QString priceLabel;     // "采 购 价"
    QString numberTitle;    // order list column 0, "采购单号"
    QString partyTitle;     // order list column 2, "供应商"
    QString quantityTitle;  // line table column 3, "采购数量"
    QString numberPrefix;   // "cgd"
    QString logUnit;        // "采购单"

    QString partyList;        // code-and-name texts of the partners
    QString goodsList;        // code-name-unit-price texts of the goods
    QString countLines;       // %1 date, %2 party code
    QString existingNumbers;  // %1 date, %2 party code
    // %1 order number. Asked inside the saving transaction with update and
    // range locks held to its end, so that a second workstation saving the
    // same number waits, then finds it taken.
    QString numberInUse;
    QString orderListAll;     // %1 first date, %2 last date
    QString orderListOne;     // %1 first date, %2 last date, %3 party code
    QString orderLines;       // %1 order number
    QString insertLine;       // %1 number ... %8 clerk
    QString updateLine;       // %1 quantity, %2 price, %3 remarks, %4 id
    QString deleteLine;       // %1 id
    QString numberColumn;     // "purchar_no": updates and deletes keep to the order's lines
    QString partyExists;      // %1 party code; a count

    std::function<OrderPrintForm *(QWidget *parent)> createPrintForm;

    // Delivery notes take from stock and mark what goes beyond it; purchase
    // orders add to it.
    bool takesFromStock = false;
    // %1 ids, %2 day: food_id and the summed stored quantity of those lines
    // that the stock up to that day holds.
    QString storedLines;
};

// The order form: entry, lookup, correction and printing of the documents of
// one table whose rows are order lines sharing an order number. purchar and
// sell are this form with their own OrderFormSetup.
//
// A new order exists only on the screen until it is saved: the order list
// then holds the single new-order row with "0" lines and "0" total.
class OrderForm : public QMainWindow, public UnsavedChanges
{
    Q_OBJECT
public:
    // Lines added or edited since the order was read or saved.
    bool hasUnsavedChanges() const override { return m_unsaved; }
    bool saveChanges() override;

protected:
    OrderForm(const OrderFormSetup &setup, QWidget *parent);
    ~OrderForm() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    // Sends the joined statements of one batch. Virtual so that a test can
    // count the executions of a save.
    virtual bool runStatements(const QString &statements, QString *error);

private slots:
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_tableWidget_2_clicked(const QModelIndex &index);
    void on_lineEdit_3_returnPressed();
    void on_lineEdit_4_returnPressed();
    void on_pushButton_5_clicked();
    void on_tableWidget_itemChanged(QTableWidgetItem *item);
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();
    void on_lineEdit_5_textChanged(const QString &arg1);
    void on_lineEdit_2_textChanged(const QString &arg1);
    void on_lineEdit_3_textChanged(const QString &arg1);

private:
    void fillPartyBoxes();
    void fillGoodsBox();
    void setUpTables();
    void fillPrinterBox();
    static void giveCompleter(QComboBox *box, const QStringList &texts);
    QStringList readTexts(const QString &statement);

    // The next sequence number for orders of a partner on a date, from the
    // stored numbers: one more than the largest, 1 when there is none.
    int nextSequence(const QString &date, long long partyCode);
    void loadOrderList();
    void takeGoods();
    void addLine();
    QString orderNumber(const QString &date, const QString &partyText, int sequence) const;
    bool findFreeNumber(const QString &date, const QString &partyText, QString *number,
                        QString *error);
    void handOverToPrint(bool preview);
    bool askBeforeDropping();
    // The condition that keeps a line's update or delete to the lines of
    // the order shown, and to a line still as loaded.
    QString lineUnchanged(int row) const;
    // Inside the saving transaction: a refusal when the partner or a new
    // line's goods item is not (or no longer) stored.
    bool refuseMissingCodes(const QString &partyText, QString *refusal, QString *error);

    // Stock on hand of the picked item beside the quantity, counting the
    // lines not saved yet; on a delivery note, the lines beyond it in red.
    void showStock();
    void refreshStock();
    void markShortLines();
    void readPickedStock();
    double quantityOnScreen(long long code) const;
    bool readStoredOnScreen(QHash<long long, double> *stored, QString *error);

    OrderFormSetup m_setup;
    Ui::OrderForm *m_body;
    QSqlQuery m_query;
    bool m_takingGoods = false;
    bool m_unsaved = false;
    long long m_stockCode = 0;
    double m_storedStock = 0;
    double m_storedOnScreen = 0;
    QString m_stockError;
    QTimer *m_stockTimer = nullptr;
    QString m_linesNumber;    // the order whose stored lines are shown
};
