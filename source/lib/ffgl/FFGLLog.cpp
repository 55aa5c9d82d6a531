#include "FFGLLog.h"

#include <atomic>

// Instances made on different threads all log their construction, possibly
// while the host installs or replaces its sink, so the sink is read and
// written atomically. The sink itself is the host's: it must accept calls
// from every thread the host drives instances from.
static std::atomic< FFGLLogCallback > s_logCallback{ nullptr };

namespace FFGLLog
{
void SetLogCallback(FFGLLogCallback callback)
{
	s_logCallback.store( callback, std::memory_order_release );
}

void LogToHost(const char* message)
{
	const FFGLLogCallback callback = s_logCallback.load( std::memory_order_acquire );
	if( callback != nullptr && message != nullptr )
		callback( message );
}
}// namespace FFGLLog
