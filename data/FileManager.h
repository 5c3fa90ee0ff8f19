#pragma once

#include <QString>

// The desktop's file manager: shows a file selected in its folder.
namespace FileManager {

// Asks the file manager over D-Bus to show the file selected; where none
// answers, opens the containing folder. False when neither worked.
bool showItem(const QString &path);
// Opens a folder with the desktop's program for folders.
bool openFolder(const QString &folder);

}  // namespace FileManager
