#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The forms this program has, by class name, and how each one is built. The
// main window asks here before it offers an entry: an entry whose form is not
// listed stays disabled until the form is added to the table in
// formcatalog.cpp.
namespace FormCatalog {

// Builds a new window of the form with parent as its owner.
using Factory = std::function<QWidget *(QWidget *parent)>;

// The factory of formClass; empty when the program has no such form.
Factory factory(const QString &formClass);

bool contains(const QString &formClass);

// The class names of every form the program has, sorted.
QStringList names();

// Puts factory in place of formClass for the rest of the process, or takes
// the entry away again with an empty factory. Tests use it to stand a probe
// in for a form; the program itself never calls it.
void replace(const QString &formClass, const Factory &factory);

} // namespace FormCatalog
