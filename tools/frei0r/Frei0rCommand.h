// `plughost frei0r PLUGIN.so... [--dir DIR]`: one frei0r module per FFGL
// plug-in, so that ffmpeg, MLT (Kdenlive, Shotcut) and GStreamer load it.
#pragma once

#include "Command.h"

#include <string>
#include <vector>

namespace plughost::cli
{
CommandSpec Frei0rCommand();

struct Frei0rOptions
{
	std::vector< std::string > plugins;
	std::string dir;// empty: the per-user folder every frei0r host searches
};

// Throws UsageError and HelpRequested.
Frei0rOptions ParseFrei0rArgs( const std::vector< std::string >& args );

// ~/.frei0r-1/lib; throws Failure when there is no home folder.
std::string DefaultFrei0rDir();
}// namespace plughost::cli
