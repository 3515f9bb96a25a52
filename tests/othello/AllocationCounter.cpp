// Replaces the global operator new and delete to count allocations. Kept in its own file so that
// the compiler cannot inline them into callers (it then mistakes their free() for a mismatch).
#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
long allocations = 0;
} // namespace

long allocationCount() {
    return allocations;
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
