#pragma once

#include "StoreResult.h"

class Inspection;

// Recordings whose save failed, kept in the subject in memory until they
// reach its file.
namespace PendingRecordings {

// Writes the structure and recording of every pending test; each one
// written is no longer pending. A test another program changed or recorded
// meanwhile is left as it is: the recording goes in as a test of its own,
// under a new identifier. A file that holds another subject takes none.
StoreResult save(Inspection &subject);

}  // namespace PendingRecordings
