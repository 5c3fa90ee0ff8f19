#pragma once

#include "data/InspectionMedia.h"

#include <QSet>
#include <QString>

// Which recordings belong with a subject file in a package: its own by name
// (the videos its tests would have, its pre-test videos) that no other subject
// file beside it could own (InspectionMedia::otherOwners). An import takes
// each name once, and writes over an existing file only when it replaces the
// subject itself.
class RecordingRules
{
public:
    RecordingRules(const QString &subjectPath, bool replacing);

    // Whether the recording of that file name is the subject's own and no one else's.
    bool owns(const QString &name) const;
    // Why an imported recording is not written; empty when it is.
    QString refusal(const QString &name, const QString &destination);

    // Names of the videos the subject file's tests would have.
    const QSet<QString> &testVideoNames() const { return m_testVideos; }

private:
    bool ownName(const QString &name) const;

    QString m_subjectBase;
    QSet<QString> m_testVideos;
    InspectionMedia::OtherOwners m_others;
    bool m_replacing;  // the subject is replaced, and with it its recordings
    QSet<QString> m_seen;
};
