#pragma once

#include <QByteArray>
#include <QString>

// The free-memory line of the diagnostics.
namespace FreeMemory {

// The memory programs could get without swapping, page cache included, as a
// /proc/meminfo text gives it ("MemAvailable"); 0 when it is not there. The
// kernel's free figure leaves the cache out and reads far too low.
quint64 availableBytes(const QByteArray &meminfo);
// The same for this machine now.
quint64 currentAvailableBytes();

// "%1/%2 GB (%3%)": available and total in GiB and the available share, one
// decimal each; "0" when either amount is unknown (zero).
QString text(quint64 availableBytes, quint64 totalBytes);

// The same for this machine now.
QString currentText();

} // namespace FreeMemory
