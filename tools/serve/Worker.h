// The worker process of `plughost serve`: the only process that makes a GL
// context and loads the plug-in. It answers the server's requests one at a
// time (see WorkerProtocol.h), so a crash or a hang in the plug-in ends only
// the worker and the server knows which request was running.
#pragma once

#include <ChildProcess.h>

namespace plughost::cli::serve
{
// Serves requests until "quit" or until the server's end of the channel
// closes; answers the process's exit status.
int RunWorker( const ChildChannel& channel );
}// namespace plughost::cli::serve
