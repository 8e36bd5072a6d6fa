// SPDX-License-Identifier: MIT
#include <pthread.h>

#include "foundation/posix/stack_bounds.h"

namespace foundation {

void FindMainStackBounds(std::uintptr_t& low, std::uintptr_t& high) {
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) {
        return;
    }
    void* bottom = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attributes, &bottom, &size) == 0) {
        low = reinterpret_cast<std::uintptr_t>(bottom);
        high = low + size;
    }
    pthread_attr_destroy(&attributes);
}

} // namespace foundation
