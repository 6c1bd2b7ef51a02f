#pragma once

#include <QString>

// Who is logged in, to which company. Filled once by the login dialog and read
// by every form; empty until then.
struct LoginState
{
    static QString databaseName;
    static QString companyName;
    static QString userName;   // as typed at login, blanks included
    static QString rights;     // right names joined by ","
};
