#include "app/shell/iconresources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used at global namespace scope, hence this helper.
void initIconResources()
{
    Q_INIT_RESOURCE(icon);
}
