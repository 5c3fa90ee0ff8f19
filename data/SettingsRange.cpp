#include "SettingsRange.h"

#include "Diagnostics.h"

void SettingsRange::report() const
{
    if (!m_keys.isEmpty())
        qCInfo(vugApp).noquote() << "settings" << m_file << "outside their pages' ranges, brought within:"
                                 << m_keys.join(QLatin1String(", "));
}
