#pragma once

// A recording is encoded, copied and freed as blocks of several megabytes on
// every save and load. With glibc's sliding thresholds such blocks are at times
// handed back to the kernel on each free and faulted in afresh on each use,
// which made a save up to three times slower from one start to the next.
// Fixed thresholds keep them in the heap. Called once, first thing in main().
namespace LargeBlockHeap {
void keepLargeBlocks();
// Hands the heap's free pages back to the kernel. Reading a long recording
// frees many small blocks between the samples it keeps, and the heap would
// hold their pages for as long as the test stays open. A walk of the whole
// heap: called once by the window whose action read recordings, never per test.
void returnFreed();
}
