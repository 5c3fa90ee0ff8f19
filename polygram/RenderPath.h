#pragma once

#include <QString>

// Where the polygram views draw. With a hardware OpenGL renderer they are
// OpenGL widgets; where GL is a software rasteriser (llvmpipe, softpipe, swrast)
// or missing, every GL surface makes Qt compose the whole window through that
// rasteriser, so the views paint with the raster engine into ordinary widgets.
namespace RenderPath {

// Decides once, after the application object exists and before any GL widget.
// VUG_SOFTWARE_GL=1 forces the raster path, VUG_SOFTWARE_GL=0 the GL path.
void decide();

// True where the views paint with the raster engine.
bool software();

// The GL renderer's own name, empty where no GL context could be made.
QString rendererName();

// One line for the diagnostics dialog.
QString description();

}  // namespace RenderPath
