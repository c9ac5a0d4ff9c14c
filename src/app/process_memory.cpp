#include "app/process_memory.h"

#include <cstdlib>  // defines __GLIBC__ on the C library it names

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace lumivane::cli {

void keepFreedMemoryForReuse()
{
#ifdef __GLIBC__
    // Blocks up to 32 MiB come from the heap and are reused; larger ones (huge pages) are still
    // mapped on their own. Up to 128 MiB of free heap is kept before any is given back, and a
    // heap that shrinks keeps 16 MiB: without that margin a worker thread's heap is cut back
    // after every page and the next page faults the same memory in again.
    constexpr int MapAbove = 32 * 1024 * 1024;
    constexpr int GiveBackAbove = 128 * 1024 * 1024;
    constexpr int KeepOnShrinking = 16 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, MapAbove);
    mallopt(M_TRIM_THRESHOLD, GiveBackAbove);
    mallopt(M_TOP_PAD, KeepOnShrinking);
#endif
}

}  // namespace lumivane::cli
