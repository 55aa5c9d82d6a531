// Where the test plug-ins and the clock are built.
#pragma once

#include <string>

inline std::string PluginPath( const std::string& name )
{
	return std::string( FFGL_PLUGIN_DIR ) + "/" + name + ".so";
}
