#include "FolderIcon.h"

#include "resources/VugResources.h"

#include <QIcon>

const QIcon &folderIcon()
{
    initVugResources();
    // Never freed: a static icon would outlive the application object.
    static const QIcon *const icon = new QIcon(VugImages::icon(QStringLiteral("folder")));
    return *icon;
}
