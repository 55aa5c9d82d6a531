// `plughost render`: one frame or a sequence on the headless GL context.
#pragma once

#include "CliOptions.h"

#include <ostream>
#include <string>

namespace plughost::cli
{
int RunRender( const Invocation& invocation, std::ostream& out, std::ostream& err );

// The plug-in file's name without directory and extension: the default
// name of the output.
std::string OutputStem( const std::string& pluginPath );
// "stem_0007.png"
std::string SequenceFileName( const std::string& stem, uint32_t frame );
}// namespace plughost::cli
