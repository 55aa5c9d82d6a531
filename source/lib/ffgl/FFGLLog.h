// The one path from a plug-in to the host's log.
#pragma once

#include "FFGL.h"

namespace FFGLLog
{
// Stores the host's sink; null switches host logging off.
void SetLogCallback(FFGLLogCallback callback);
// Hands the message, unaltered, to the stored sink, if any.
void LogToHost(const char* message);
}// namespace FFGLLog
