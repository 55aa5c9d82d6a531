// `plughost info`: a readable report of what a plug-in says about itself.
#pragma once

#include "CliOptions.h"

#include <PluginLibrary.h>

#include <ostream>
#include <string>

namespace plughost::cli
{
// The report for an already loaded plug-in; throws plughost::Error when the
// plug-in fails a query the report needs.
std::string FormatInfo( const PluginLibrary& library );

int RunInfo( const Invocation& invocation, std::ostream& out, std::ostream& err );
}// namespace plughost::cli
