#pragma once

#include <QMainWindow>
#include <QString>

#include <memory>

class QPainter;
class QPrinter;
class QSqlQueryModel;

namespace Ui {
class commision;
}

// The sales commission of one salesman: his customers' receivables whose
// commission was paid out in a date range, with the commission earned, and
// every receivable not paid out yet with a commission of 0. Printed as
// "业务提成报表".
class commision : public QMainWindow
{
    Q_OBJECT

public:
    explicit commision(QWidget *parent = nullptr);
    ~commision() override;

    // The statement for salesman and the commission dates from to to
    // ("yyyy-MM-dd").
    static QString reportStatement(const QString &salesman, const QString &from, const QString &to);

    QSqlQueryModel *model() const { return m_model; }

public slots:
    // Paints every page. Virtual so that a test can watch what the preview
    // and the print hand over.
    virtual void printDocument(QPrinter *printer);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();

private:
    struct Totals
    {
        double personal = 0;
        double team = 0;
    };
    Totals totals() const;
    void drawPage(QPainter *painter, int page, const Totals &totals);
    QString cellText(int row, int column) const;


    std::unique_ptr<Ui::commision> m_ui;
    QSqlQueryModel *m_model;
    // What the rows shown were asked for; the printed page names them even
    // when the boxes have been changed since.
    QString m_salesman;
    QString m_endDate;
};
