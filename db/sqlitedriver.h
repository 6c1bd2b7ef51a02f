#pragma once

#include <QSqlDriver>

// The embedded engine: a Qt SQL driver that keeps the data in SQLite files and
// accepts SQL Server's dialect, translating each statement before it runs.
class EmbeddedSqlDriver : public QSqlDriver
{
    Q_OBJECT
public:
    explicit EmbeddedSqlDriver(QObject *parent = nullptr);
    ~EmbeddedSqlDriver() override;
};
