#pragma once

#include <QDateTime>
#include <QString>

class Inspection;
struct InspectionTest;

// Names of the video and sound files kept beside a subject file, in the
// companion folder "__1__" that all subjects of one folder share. Every name
// but mediaFolder's creates the folder when it is missing.
namespace InspectionMedia {

QString mediaFolder(const Inspection &inspection);
QString tempVideoPath(const Inspection &inspection);
QString tempPreTestVideoPath(const Inspection &inspection);
QString testVideoPath(const Inspection &inspection, const InspectionTest &test);
// Deletes the test's video; a missing file is no error.
void removeTestVideo(const Inspection &inspection, const InspectionTest &test);
// Time-stamped names of a pre-test video and a speech recording; empty when
// that file exists already.
QString newVideoFileName(const Inspection &inspection, const QDateTime &when);
QString newAudioFileName(const Inspection &inspection, const QDateTime &when);
// The subject file's name without folder and without its last extension.
QString subjectBaseName(const Inspection &inspection);

}  // namespace InspectionMedia
