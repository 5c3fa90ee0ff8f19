#pragma once

#include <QString>

// The free-memory line of the diagnostics.
namespace FreeMemory {

// "%1/%2 GB (%3%)": available and total in GiB and the available share, one
// decimal each; "0" when either amount is unknown (zero).
QString text(quint64 availableBytes, quint64 totalBytes);

// The same for this machine now.
QString currentText();

} // namespace FreeMemory
