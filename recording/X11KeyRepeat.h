#pragma once

// Whether the X server sends a held key's repeats as presses only (XKB's
// detectable auto-repeat) or as release-press pairs, for this program's own
// connection. Elsewhere than on X11 nothing changes.
namespace X11KeyRepeat {

// True when the server now does as asked.
bool setDetectable(bool on);

}  // namespace X11KeyRepeat
