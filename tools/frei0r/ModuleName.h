// The file name of a frei0r module made from an FFGL plug-in: the plug-in's
// name in lower case with every run of characters other than ASCII letters
// and digits turned into one '_' ("Vavo Rozar" -> "vavo_rozar"). Hosts know
// a module by its file name: ffmpeg's filter_name, MLT's frei0r.<name>.
#pragma once

#include <string>

namespace plughost::cli
{
// Without the ".so"; empty when the name has no letter or digit.
std::string ModuleName( const std::string& pluginName );
}// namespace plughost::cli
