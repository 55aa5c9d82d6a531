#include "FFGLLog.h"

static FFGLLogCallback s_logCallback = nullptr;

namespace FFGLLog
{
void SetLogCallback(FFGLLogCallback callback)
{
	s_logCallback = callback;
}

void LogToHost(const char* message)
{
	if( s_logCallback != nullptr && message != nullptr )
		s_logCallback( message );
}
}// namespace FFGLLog
