#pragma once

#include <QMainWindow>
#include <QSqlQuery>

#include <memory>

class QTableWidgetItem;

namespace Ui {
class inventory;
}

// The stock profit/loss register: corrections found at a stock count, a gain
// entered as a positive quantity, a loss as a negative one. Each correction is
// valued at the cost price of its day; the price is shown, never stored.
class inventory : public QMainWindow
{
    Q_OBJECT

public:
    explicit inventory(QWidget *parent = nullptr);
    ~inventory() override;

    // The stored corrections of the days from to to (inclusive,
    // "yyyy-MM-dd") with their cost price, by date and goods code.
    static QString loadStatement(const QString &from, const QString &to);

    enum Column {
        DateColumn = 0,
        CodeColumn = 1,
        NameColumn = 2,
        UnitColumn = 3,
        QuantityColumn = 4,
        PriceColumn = 5,
        AmountColumn = 6,
        RemarksColumn = 7,
        InputColumn = 8,
        IdColumn = 9,
        TickColumn = 10,
        ColumnCount = 11
    };

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_pushButton_5_clicked();
    void on_lineEdit_4_returnPressed();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_4_clicked();
    void on_checkBox_stateChanged(int arg1);
    void on_pushButton_3_clicked();
    void on_tableWidget_itemChanged(QTableWidgetItem *item);

private:
    void setUpTable();
    // The average purchase price of the goods item on day, else its standard
    // purchase price; empty when it has neither.
    QString costPrice(const QString &day, long long code);
    void appendRow(const QStringList &cells);
    // " where id=… and <loaded values>;": a row is written only while it is
    // as loaded.
    QString unchangedCondition(int row) const;

    std::unique_ptr<Ui::inventory> m_ui;
    QSqlQuery m_query;
};
