#pragma once

#include <QString>

// Opens databaseName as the default connection ("sqldb" gets a connection of
// its own name). Returns 2 when the default connection already exists and
// nothing was done, otherwise 1. Whether the open succeeded is for the caller
// to ask the connection.
int connectDatabase(const QString &databaseName);

// Why the last connectDatabase call left its connection closed although the
// driver opened it: the session settings a save relies on did not hold.
// Empty when that call left nothing to say beyond the driver's own error.
QString connectDatabaseRefusal();
