#pragma once
// Giving freed memory back to the system.

#ifdef __GLIBC__
#include <malloc.h>
#endif

// After millions of rows were filled, sorted or copied, the allocator would otherwise keep
// tens of megabytes of scratch space for good.
inline void GiveBackFreeMemory() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}
