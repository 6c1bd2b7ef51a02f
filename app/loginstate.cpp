#include "app/loginstate.h"

QString LoginState::databaseName;
QString LoginState::companyName;
QString LoginState::userName;
QString LoginState::rights;
