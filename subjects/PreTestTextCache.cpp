#include "PreTestTextCache.h"

#include "data/Inspection.h"

#include <QFileInfo>

QString PreTestTextCache::text(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        m_entries.remove(path);
        return QString();
    }
    if (!m_enabled)
        return readText(path);
    // Time and size together: a rewrite within the clock's resolution still changes the size mostly.
    auto found = m_entries.constFind(path);
    if (found != m_entries.constEnd() && found->modified == info.lastModified() && found->size == info.size())
        return found->text;
    Entry entry{info.lastModified(), info.size(), readText(path)};
    m_entries.insert(path, entry);
    return entry.text;
}

void PreTestTextCache::drop(const QString &path)
{
    m_entries.remove(path);
}

void PreTestTextCache::setEnabled(bool enabled)
{
    m_enabled = enabled;
    m_entries.clear();
}

QString PreTestTextCache::readText(const QString &path)
{
    Inspection subject(path);
    subject.loadPreTestConversation();
    return subject.preTestText;
}
