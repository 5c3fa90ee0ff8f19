#include "StoredBytes.h"

#include <utility>

StoredBytes::StoredBytes(const QByteArray &whole) : m_whole(whole), m_size(quint32(whole.size())) {}

StoredBytes::StoredBytes(quint32 size, Reader read) : m_read(std::move(read)), m_size(size) {}

const char *StoredBytes::bytes(quint32 at, quint32 length)
{
    if (quint64(at) + length > m_size)
        return nullptr;
    if (inMemory())
        return m_whole.constData() + at;
    for (int i = 0; i < 2; ++i) {
        const Window &window = m_windows[i];
        if (at >= window.at && quint64(at) + length <= quint64(window.at) + quint32(window.data.size())) {
            m_last = i;
            return window.data.constData() + (at - window.at);
        }
    }
    m_last = 1 - m_last;
    Window &window = m_windows[m_last];
    const quint32 count = quint32(qMin<quint64>(qMax(length, kWindowBytes), m_size - at));
    window.at = at;
    window.data.resize(int(count));
    if (!m_read(at, window.data.data(), count)) {
        window.data.clear();
        return nullptr;
    }
    return window.data.constData();
}
