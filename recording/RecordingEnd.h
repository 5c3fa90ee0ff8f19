#pragma once

#include "data/Inspection.h"

#include <memory>

class TemporaryVideo;

// What becomes of a test's recording when its threads have stopped: kept in
// the subject file as whole presentation groups, or discarded. Tells the
// examiner, in a box over the active window, whatever was not kept.
class RecordingEnd
{
public:
    struct Run {
        bool newRecording = false;
        // The reaction time after the last group's last question has run out.
        bool presentationDone = false;
        // This run's recorder wrote the temporary video.
        bool videoWritten = false;
        // What went wrong with the video, for the examiner; empty when nothing did.
        QString videoFailure;
        // The subject file the run was started for; empty: the inspection's.
        QString subject;
        // The file the recorder wrote, wherever it lies now.
        std::shared_ptr<TemporaryVideo> video;
    };

    // test may be the run's own copy: a recording kept goes into the
    // inspection in the place of the test of its identifier.
    RecordingEnd(Inspection *inspection, Inspection::_Test *test, const Run &run);

    // A playback is left as it was, whatever save says. The identifier the
    // recording was kept under in the subject; null when nothing was kept.
    QUuid finish(bool save);

    // Presentation groups whose marks are all made and, for the last, whose
    // reaction time has run out.
    int completeGroups() const;

    // The groups a stop at position would keep.
    static int groupsKept(Inspection::_Test &test, int position);
    // What stopping the recording at position would drop, said before anything
    // ends; empty when every group is complete.
    static QString lossWarning(Inspection::_Test &test, int position);

private:
    // The identifier the recording went in under.
    QUuid keep(int groups);
    // The kept recording in the place of its planned test in the subject as
    // it is open now, or beside its tests when another program removed it.
    void placeInSubject();
    QUuid saveIntoSubject();
    // The subject was left while the recording ran: its file, as far as it
    // is there, still takes the recording, or else a recovery copy does.
    QUuid keepWithoutSubject(const QString &subject);
    // The recording and its video go.
    void discard();
    void trimMarks(int groups);
    void saveToFile();
    // The run's video to its test's name beside the subject; where it waits
    // for a recovery copy when the subject's folder is gone, else empty.
    QString moveVideo();
    // The file the video waits in; empty when it stayed where it lay.
    QString holdVideo(TemporaryVideo &video);
    // Tells the examiner where a video that could not be placed stayed.
    void placeVideo(const QString &from, const QString &target);
    void placeVideo(TemporaryVideo &video, const QString &target);
    static void tellNotRenamed(const QString &from, const QString &target, const QString &why);
    // Said when the recording went in beside the planned test it was made on.
    void tellTestOfItsOwn(const QUuid &planned);
    static void tell(const QString &text);

    Inspection *inspection;
    Inspection::_Test *test;
    Run run;
};
