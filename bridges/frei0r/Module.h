// This module file and the plug-in inside it, for the whole process. The
// plug-in is loaded on first need (f0r_init, or f0r_get_plugin_info, which
// MLT calls without f0r_init) and handed out as shared ownership.
#pragma once

#include "LoadedPlugin.h"

#include <memory>
#include <string>

namespace ffglfrei0r
{
// The loaded plug-in, loading it if need be; null after saying why once.
std::shared_ptr< LoadedPlugin > AcquirePlugin();
// f0r_init and f0r_deinit. ffmpeg calls them once per filter, so two
// filters of one module share a count; at its last f0r_deinit the module's
// own reference goes, while instances keep theirs.
bool InitModule();
void DeinitModule();
// What the host is told; stays valid for the life of the process. Null when
// the plug-in cannot be loaded.
const PluginFacts* Facts();
// "Vavo Rozar (vavo_rozar.so)", or the file name alone before loading.
std::string Subject();
}// namespace ffglfrei0r
