#include "VugResources.h"

#include <QtGlobal>

static void registerImages() { Q_INIT_RESOURCE(vugimages); }

void initVugResources()
{
    static const bool registered = (registerImages(), true);
    Q_UNUSED(registered);
}

namespace VugImages {

QString path(const QString &name)
{
    initVugResources();
    return QStringLiteral(":/Pelmar/Images/") + name;
}

QIcon icon(const QString &name)
{
    return QIcon(path(name));
}

QPixmap pixmap(const QString &name)
{
    return QPixmap(path(name));
}

}  // namespace VugImages
