#pragma once

class QCoreApplication;

// The program speaks Chinese whatever the system's locale: Qt's own
// catalogue gives the standard dialogs and buttons ("确定", "取消", the print
// preview, the file dialogs) their Chinese texts. Without the catalogue the
// program still runs, with Qt's English texts.
namespace Translations {

// Loads qtbase_zh_CN from Qt's translations folder into the application and
// makes zh_CN the default locale; tells whether the catalogue was found.
bool loadChinese(QCoreApplication *application);

} // namespace Translations
