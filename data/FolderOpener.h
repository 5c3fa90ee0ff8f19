#pragma once

#include <QString>

// Shows a folder in the desktop's file manager.
namespace FolderOpener {

// Opens the folder with the desktop's program for folders; false when none
// could be started.
bool openFolder(const QString &folder);

}  // namespace FolderOpener
