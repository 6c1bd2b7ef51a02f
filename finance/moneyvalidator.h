#pragma once

class QObject;
class QValidator;

// The amount fields of the finance forms: an optional minus, 0 or up to nine
// digits without a leading zero, and at most four decimals; or nothing at all.
QValidator *newMoneyValidator(QObject *parent);
