#pragma once

#include <QString>

// Process-wide texts that hand a choice from one form to the next. They live
// for the whole process, start empty and are only ever touched from the GUI
// thread.

// The account kind of the next receivable or payable form: "货款", "投标",
// "履约" or "往来". Whoever opens such a form sets it first; the form reads it
// once while it is built, so windows of different kinds can be open at once.
extern QString AccountKind;

// The partner (code, "-", name) whose invoices and cash entries the
// customer-side and supplier-side id pick lists offer. The receivable and
// payment forms set them when a row is double-clicked; the printed order forms
// share CustomerParty as their party text.
extern QString CustomerParty;
extern QString SupplierParty;
