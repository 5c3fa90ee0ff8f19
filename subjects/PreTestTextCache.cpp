#include "PreTestTextCache.h"

#include "data/Inspection.h"
#include "data/SaveRefusal.h"

#include <QCoreApplication>

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
    bool read = false;
    Entry entry{info.lastModified(), info.size(), readText(path, &read)};
    // A text that could not be read is asked for again next time.
    if (read)
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

QString PreTestTextCache::readText(const QString &path, bool *read)
{
    Inspection subject(path);
    const StoreResult result = subject.loadPreTestConversation();
    if (read)
        *read = result == StoreResult::Ok;
    // A file held by another program is told; one that is no subject file shows nothing.
    if (result == StoreResult::Busy)
        return QCoreApplication::translate("PreTestTextCache", "Предтестовая беседа не прочитана: %1")
            .arg(SaveRefusal::reason(result, path));
    return subject.preTestText;
}
