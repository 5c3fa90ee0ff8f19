#include "PendingRecordings.h"

#include "Inspection.h"
#include "TestOfItsOwn.h"

#include <QFileInfo>

namespace PendingRecordings {

StoreResult save(Inspection &subject)
{
    // A subject file gone meanwhile is not made anew around one test: the
    // others are in the file when it comes back.
    if (!subject.pendingRecordings.isEmpty() && !QFileInfo(subject.path).isFile())
        return StoreResult::NotOpen;
    StoreResult result = StoreResult::Ok;
    for (QUuid id : QVector<QUuid>(subject.pendingRecordings)) {
        InspectionTest *pending = subject.testWithId(id);
        StoreResult saved = pending ? subject.saveTestStruct(pending) : StoreResult(StoreResult::Ok);
        if (pending && saved == StoreResult::Ok)
            saved = subject.saveRecording(pending);
        // A file that holds another subject takes none of them: the recording
        // is not this file's test changed, and waits for a recovery copy.
        if (saved == StoreResult::Changed) {
            const StoreResult held = subject.holdsSubjectAsRead();
            if (held != StoreResult::Ok)
                return held;
        }
        if (pending && saved == StoreResult::Changed) {
            // Its video follows; one that cannot stays under the planned
            // test's name, where the recording's end names it.
            TestOfItsOwn::separate(subject, *pending);
            subject.pendingRecordings.replace(subject.pendingRecordings.indexOf(id), pending->id);
            id = pending->id;
            saved = subject.saveTestStruct(pending);
            if (saved == StoreResult::Ok)
                saved = subject.saveRecording(pending);
        }
        if (saved == StoreResult::Ok) {
            subject.setRecordingPending(id, false);
            if (pending)
                pending->labelsModified = false;
        }
        result = StoreResult::worse(result, saved);
    }
    return result;
}

}  // namespace PendingRecordings
