// `plughost info`: a readable report of what a plug-in says about itself.
#pragma once

#include "Command.h"

#include <PluginLibrary.h>

#include <string>
#include <vector>

namespace plughost::cli
{
CommandSpec InfoCommand();

// The plug-in file named by `info`'s arguments. Throws UsageError and HelpRequested.
std::string ParseInfoArgs( const std::vector< std::string >& args );

// The report for an already loaded plug-in; throws plughost::Error when the
// plug-in fails a query the report needs.
std::string FormatInfo( const PluginLibrary& library );
}// namespace plughost::cli
