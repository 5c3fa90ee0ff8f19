#include "FolderOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace FolderOpener {

// fromLocalFile, not "file:///" + path: a Linux path starts with its own slash.
bool openFolder(const QString &folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace FolderOpener
