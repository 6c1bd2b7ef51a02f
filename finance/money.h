#pragma once

#include <QItemDelegate>

class QObject;
class QValidator;

// The amount fields of the finance forms: an optional minus, 0 or up to nine
// digits without a leading zero, and at most four decimals; or nothing at all.
QValidator *newMoneyValidator(QObject *parent);

// An amount column of a table view: shown with two decimals, edited as
// stored.
class MoneyDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit MoneyDelegate(QObject *parent = nullptr);

protected:
    void drawDisplay(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
                     const QString &text) const override;
};
