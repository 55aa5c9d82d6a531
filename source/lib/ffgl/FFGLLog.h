// The one path from a plug-in to the host's log.
#pragma once

#include "FFGL.h"

namespace FFGLLog
{
// Stores the host's sink; null switches host logging off. Safe to call while
// other threads log.
void SetLogCallback(FFGLLogCallback callback);
// Hands the message, unaltered, to the stored sink, if any, on the calling
// thread: a host that drives instances from several threads gets calls from
// each of them, possibly at the same time.
void LogToHost(const char* message);
}// namespace FFGLLog
