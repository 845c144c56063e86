#pragma once

// Counts every global allocation of the test executable that includes this header. Include it
// in exactly one source file of an executable: it replaces the global allocation functions.
// Every form is replaced, so that memory from any of them (the sanitizers intercept the
// nothrow and aligned forms too) is released by the matching replacement.

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

#ifdef _WIN32
#include <malloc.h>
#endif

namespace testing_support {
inline std::atomic<long> allocationCount{0};
} // namespace testing_support

namespace testing_support::detail {

inline void* countedAllocation(std::size_t size) noexcept {
    ++allocationCount;
    return std::malloc(size == 0 ? 1 : size);
}

inline void* countedAlignedAllocation(std::size_t size, std::align_val_t alignment) noexcept {
    ++allocationCount;
    const auto align = static_cast<std::size_t>(alignment);
    const std::size_t rounded = (size + align - 1) / align * align;
#ifdef _WIN32
    // Windows has no aligned_alloc: its aligned blocks come and go through their own calls.
    return ::_aligned_malloc(rounded == 0 ? align : rounded, align);
#else
    return std::aligned_alloc(align, rounded == 0 ? align : rounded);
#endif
}

inline void alignedRelease(void* memory) noexcept {
#ifdef _WIN32
    ::_aligned_free(memory);
#else
    std::free(memory);
#endif
}

} // namespace testing_support::detail

void* operator new(std::size_t size) {
    if (void* memory = testing_support::detail::countedAllocation(size))
        return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return testing_support::detail::countedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return testing_support::detail::countedAllocation(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    if (void* memory = testing_support::detail::countedAlignedAllocation(size, alignment))
        return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return ::operator new(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return testing_support::detail::countedAlignedAllocation(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return testing_support::detail::countedAlignedAllocation(size, alignment);
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept {
    testing_support::detail::alignedRelease(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
    testing_support::detail::alignedRelease(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
    testing_support::detail::alignedRelease(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
    testing_support::detail::alignedRelease(memory);
}
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    testing_support::detail::alignedRelease(memory);
}
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    testing_support::detail::alignedRelease(memory);
}
