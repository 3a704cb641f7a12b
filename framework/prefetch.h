#pragma once
// Asking for memory ahead of its use, for loops that walk millions of scattered rows or words.

// An instruction the optimiser must keep, not __builtin_prefetch: it drops a loop made only of
// those as having no effect, and such loops are what fetch a batch ahead of its use.
inline void Prefetch(const void* address) {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(address)));
#else
  __builtin_prefetch(address);
#endif
}
