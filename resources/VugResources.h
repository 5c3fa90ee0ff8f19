#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// Registers the program's pictures (served under VugImages::path). Resources in
// a static library are not registered by themselves; every user of a picture
// calls this first, as the helpers below do. Repeated calls do nothing.
void initVugResources();

// The one way to name a picture or page of the program's resources.
namespace VugImages {
// The resource path of name, for whatever takes a path.
QString path(const QString &name);
QIcon icon(const QString &name);
QPixmap pixmap(const QString &name);
}  // namespace VugImages
