// `plughost render`: one frame or a sequence on the headless GL context.
#pragma once

#include "Command.h"

#include <cstdint>
#include <string>

namespace plughost::cli
{
CommandSpec RenderCommand();

// The plug-in file's name without directory and extension: the default
// name of the output.
std::string OutputStem( const std::string& pluginPath );
// "stem_0007.png"
std::string SequenceFileName( const std::string& stem, uint32_t frame );
}// namespace plughost::cli
