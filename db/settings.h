#pragma once

#include <QString>
#include <QStringList>

// Where the databases live and how to reach them. Read once at start-up from
// an INI file, section [database]; nothing here is compiled in.
//
// Values are taken as written: a named instance "host\SQLEXPRESS", a port
// "host,1433" and a password "pa,ss" or "x;y" reach the connection unchanged.
// A value in double quotes is what stands between them; otherwise a ";"
// after a blank starts a comment, as does a line beginning with ";" or "#".
struct DbSettings
{
    QString engine = QStringLiteral("sqlite");   // "sqlite" or "odbc"
    QString dataDir;                             // sqlite: folder of the database files
    QString server;                              // odbc: server address
    QString user;                                // odbc: user id; empty for Windows sign-in
    QString password;                            // odbc: password
    QString driver = QStringLiteral("SQL SERVER"); // odbc: driver name in the connection string
    QString options;                             // odbc: more attributes for the connection string
    QString sourceFile;                          // the INI file read, empty when none was found
    QString error;                               // why the file cannot be used; empty when it can

    bool isEmbedded() const { return engine.compare(QStringLiteral("odbc"), Qt::CaseInsensitive) != 0; }
    bool isValid() const { return error.isEmpty(); }

    // Finds the settings file: --config FILE among the arguments, else
    // $JXC_CONFIG, else jxc.ini beside the executable, else jxc.ini in the
    // user's config folder. Without any, the embedded engine keeps its files
    // in the user's data folder. A file that is named or found but cannot be
    // used gives settings whose error says which file and why: the program
    // must stop then rather than quietly start on other databases.
    static DbSettings load(const QStringList &arguments);
    static DbSettings fromFile(const QString &fileName);

    // The settings in force for this process.
    static const DbSettings &current();
    static void setCurrent(const DbSettings &settings);
};
