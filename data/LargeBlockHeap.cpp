#include "LargeBlockHeap.h"

#include <malloc.h>

namespace {

// glibc's ceiling for the mmap threshold on 64-bit; larger blocks still come
// from mmap and go straight back.
constexpr int kMmapThreshold = 32 * 1024 * 1024;
// Free memory at the heap's top is returned only beyond this.
constexpr int kTrimThreshold = 128 * 1024 * 1024;

}  // namespace

void LargeBlockHeap::keepLargeBlocks()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, kMmapThreshold);
    mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
#endif
}

void LargeBlockHeap::returnFreed()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
