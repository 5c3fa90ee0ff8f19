#include "RecordingRules.h"

#include "PackageEntries.h"

#include "data/Inspection.h"

#include <QFileInfo>

namespace {

using PackageEntries::tr;

const QString kVideoSuffix = QStringLiteral(".avi");

}  // namespace

RecordingRules::RecordingRules(const QString &subjectPath, bool replacing)
    : m_subjectBase(QFileInfo(subjectPath).completeBaseName()),
      m_testVideos(InspectionMedia::testVideoNames(subjectPath)),
      m_others(InspectionMedia::otherOwners(subjectPath)),
      m_replacing(replacing)
{
}

bool RecordingRules::ownName(const QString &name) const
{
    return m_testVideos.contains(name)
           || (InspectionMedia::isPreTestFileName(m_subjectBase, name)
               && name.endsWith(kVideoSuffix, Qt::CaseInsensitive));
}

bool RecordingRules::owns(const QString &name) const
{
    return ownName(name) && m_others.ownerOf(name).isEmpty();
}

QString RecordingRules::refusal(const QString &name, const QString &destination)
{
    const bool again = m_seen.contains(name);
    m_seen.insert(name);
    if (!ownName(name))
        return tr("не запись этого обследуемого");
    const QString owner = m_others.ownerOf(name);
    if (!owner.isEmpty())
        return tr("имя записи обследуемого «%1» из этой папки").arg(owner);
    if (again)
        return tr("повторная запись с тем же именем");
    if (!m_replacing && QFileInfo::exists(destination))
        return tr("такой файл уже есть в папке записей");
    return QString();
}
