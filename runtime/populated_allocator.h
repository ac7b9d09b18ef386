// An allocator whose blocks come from the kernel with every page already in
// place: one call, where a fresh block of memory written page by page takes
// a fault per page, and on a virtual machine the faults of a table that a
// process fills once at start cost more than filling it. For large blocks
// only: each one is a mapping of its own.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <new>

namespace ostrel::com {

template <class T>
struct PopulatedAllocator {
  using value_type = T;

  PopulatedAllocator() = default;
  template <class U>
  PopulatedAllocator(const PopulatedAllocator<U>&) {}

  T* allocate(size_t count) {
    void* block = mmap(nullptr, count * sizeof(T), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE,
                       -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
    return static_cast<T*>(block);
  }

  void deallocate(T* block, size_t count) { munmap(block, count * sizeof(T)); }

  template <class U>
  bool operator==(const PopulatedAllocator<U>&) const {
    return true;
  }
};

}  // namespace ostrel::com
