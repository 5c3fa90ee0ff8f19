#include "VugResources.h"

#include <QtGlobal>

static void registerImages() { Q_INIT_RESOURCE(vugimages); }

void initVugResources()
{
    static const bool registered = (registerImages(), true);
    Q_UNUSED(registered);
}
