#pragma once

// What a subject-file operation achieved, for callers that tell the examiner.
enum class StoreResult {
    Ok,          // done
    NotOpen,     // no subject file: an empty path, a missing file, or one that cannot be opened
    Refused,     // a file that is there but no subject file the program could use; nothing read or changed
    Damaged,     // read what could be read; the file or some of its rows are damaged and were skipped
    TooLarge,    // the document exceeds what the stored format can hold; nothing was written
    NotWritten,  // nothing to save, or the statement wrote no row
    Busy,        // another program holds the file's lock; nothing read or changed, try again later
};
