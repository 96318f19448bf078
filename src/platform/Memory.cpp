#include "platform/Memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quelm::platform {

void KeepFreedMemory() {
#if defined(__GLIBC__)
    // Blocks up to 32 MB (a list's row table included) come from the heap, and up to 256 MB freed at its top stay.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

} // namespace quelm::platform
