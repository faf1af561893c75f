#include <cstdlib>  // says whether the C library is glibc

#include "platform/memoria.h"
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace scenario {

void tieni_memoria_liberata() {
#if defined(__GLIBC__)
  // glibc maps every block over 128 KB on its own and unmaps it when freed,
  // and gives back the heap's top once 128 KB of it are free.
  mallopt(M_MMAP_THRESHOLD, 16 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

}  // namespace scenario
