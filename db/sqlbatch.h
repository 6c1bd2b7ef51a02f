#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Runs statements in one transaction on the default connection: either all
// of them take effect or, when one fails, none does. False, with the
// database's text in *error, when the transaction could not be opened, a
// statement failed or the commit failed.
namespace SqlBatch {

// One execution per entry of statements.
bool run(const QStringList &statements, QString *error);

// Statements that carry their own ";" go to the database blockSize at a
// time, joined into one text per execution: a save of many rows then costs
// a few round trips instead of one per row.
bool runInBlocks(const QStringList &statements, int blockSize, QString *error);

// For statements that depend on what the database holds once the
// transaction is open: compose runs first inside it and fills the
// statements, or returns false with *error set to roll everything back.
// A form that sends its blocks itself, so that a test can watch them,
// passes execute; without it each block goes through a fresh query.
using Composer = std::function<bool(QStringList *statements, QString *error)>;
using Executor = std::function<bool(const QString &block, QString *error)>;
bool runInBlocks(const Composer &compose, int blockSize, QString *error,
                 const Executor &execute = Executor());

} // namespace SqlBatch
