#include "HeapUsage.h"

#include <malloc.h>

// Present only when a sanitizer runtime is linked or preloaded.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes() __attribute__( ( weak ) );

namespace plughost
{
std::size_t HeapInUse()
{
	if( __sanitizer_get_current_allocated_bytes != nullptr )
		return __sanitizer_get_current_allocated_bytes();
	const struct mallinfo2 info = mallinfo2();
	// Small blocks from the arenas plus the large ones mapped on their own.
	return info.uordblks + info.hblkhd;
}
}// namespace plughost
