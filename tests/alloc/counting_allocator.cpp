// SPDX-License-Identifier: MIT
// Replaces the C allocator and operator new for this test program. Every
// request goes on to the C library's own allocator; the counting is the
// only difference.
#include "alloc/counting_allocator.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>

// The C library's own allocator under its internal names, which the
// replacement functions hand every request on to.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}
// NOLINTEND(bugprone-reserved-identifier)

namespace alloctest {

namespace {

TAllocationCounters* Shared = nullptr;
bool Armed = false; // this process's own: a parent never counts for its child

void CountOne() {
    if (Armed && Shared != nullptr) {
        __atomic_add_fetch(&Shared->Allocations, 1, __ATOMIC_RELAXED);
    }
}

} // namespace

void Arm(bool armed) {
    Armed = armed;
}

TAllocationCounters& Counters() {
    if (Shared == nullptr) {
        void* page = mmap(nullptr, sizeof(TAllocationCounters), PROT_READ | PROT_WRITE,
                          MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (page == MAP_FAILED) {
            std::abort();
        }
        Shared = static_cast<TAllocationCounters*>(page);
    }
    return *Shared;
}

} // namespace alloctest

using alloctest::CountOne;

extern "C" {

void* malloc(std::size_t size) {
    CountOne();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
    CountOne();
    return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) {
    CountOne();
    return __libc_realloc(block, size);
}

void* memalign(std::size_t alignment, std::size_t size) {
    CountOne();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    CountOne();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** block, std::size_t alignment, std::size_t size) {
    CountOne();
    void* result = __libc_memalign(alignment, size);
    if (result == nullptr) {
        return ENOMEM;
    }
    *block = result;
    return 0;
}

void free(void* block) {
    __libc_free(block);
}

} // extern "C"

// operator new would reach malloc anyway; replacing it keeps the count
// independent of how the C++ run-time was built.
namespace {

void* NewBlock(std::size_t size) {
    CountOne();
    void* block = __libc_malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

} // namespace

void* operator new(std::size_t size) {
    return NewBlock(size);
}
void* operator new[](std::size_t size) {
    return NewBlock(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    CountOne();
    return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    CountOne();
    return __libc_malloc(size == 0 ? 1 : size);
}
void operator delete(void* block) noexcept {
    __libc_free(block);
}
void operator delete[](void* block) noexcept {
    __libc_free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    __libc_free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    __libc_free(block);
}
