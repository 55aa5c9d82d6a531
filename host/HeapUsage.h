// Heap memory in use, from the allocator's own statistics. Resident size is
// no measure of leaks: it moves with the allocator's caching and the GL
// driver's code cache.
#pragma once

#include <cstddef>

namespace plughost
{
// Bytes handed out by malloc and not yet freed. Under AddressSanitizer
// (built in or preloaded) its allocator is asked instead of glibc's.
std::size_t HeapInUse();
}// namespace plughost
