#pragma once

#include <QString>
#include <QStringList>

// Where the databases live and how to reach them. Read once at start-up from
// an INI file, section [database]; nothing here is compiled in.
struct DbSettings
{
    QString engine = QStringLiteral("sqlite");   // "sqlite" or "odbc"
    QString dataDir;                             // sqlite: folder of the database files
    QString server;                              // odbc: server address
    QString user;                                // odbc: user id
    QString password;                            // odbc: password
    QString driver = QStringLiteral("SQL SERVER"); // odbc: driver name in the connection string
    QString sourceFile;                          // the INI file read, empty when none was found

    bool isEmbedded() const { return engine.compare(QStringLiteral("odbc"), Qt::CaseInsensitive) != 0; }

    // Finds the settings file: --config FILE among the arguments, else
    // $JXC_CONFIG, else jxc.ini beside the executable, else jxc.ini in the
    // user's config folder. Without any, the embedded engine keeps its files
    // in the user's data folder.
    static DbSettings load(const QStringList &arguments);
    static DbSettings fromFile(const QString &fileName);

    // The settings in force for this process.
    static const DbSettings &current();
    static void setCurrent(const DbSettings &settings);
};
