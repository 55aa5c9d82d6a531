// Plug-ins export exactly their two entry points, so several plug-ins in one
// process keep their own records, prototypes and log callbacks.
#include <gtest/gtest.h>

#include <Mixed.h>
#include <PluginLibrary.h>
#include <cstdio>
#include <set>
#include <string>

#include "PluginPaths.h"

using namespace plughost;

namespace
{
std::set< std::string > ExportedSymbols( const std::string& path )
{
	std::set< std::string > names;
	std::string command = "nm -D --defined-only '" + path + "' 2>/dev/null";
	FILE* pipe          = popen( command.c_str(), "r" );
	if( pipe == nullptr )
		return names;
	char line[ 512 ];
	while( fgets( line, sizeof line, pipe ) )
	{
		std::string text( line );
		size_t lastSpace = text.find_last_of( ' ' );
		std::string name = text.substr( lastSpace + 1 );
		while( !name.empty() && ( name.back() == '\n' || name.back() == '\r' ) )
			name.pop_back();
		size_t version = name.find( '@' );
		names.insert( name.substr( 0, version ) );
	}
	pclose( pipe );
	return names;
}

TEST( Symbols, PluginsExportExactlyTheTwoEntryPoints )
{
	const std::set< std::string > expected{ "plugMain", "SetLogCallback" };
	for( const char* name : { "VavoRozar", "Probe" } )
		EXPECT_EQ( ExportedSymbols( PluginPath( name ) ), expected ) << name;
}

TEST( Symbols, GloballyLoadedPluginsKeepTheirOwnState )
{
	LoadOptions global;
	global.globalSymbols = true;
	PluginLibrary clock( PluginPath( "VavoRozar" ), global );
	PluginLibrary probe( PluginPath( "Probe" ), global );

	EXPECT_EQ( clock.Identity().id, "KP50" );
	EXPECT_EQ( probe.Identity().id, "PRB1" );
	EXPECT_EQ( clock.CallU( FF_GET_NUM_PARAMETERS ), 13u );
	EXPECT_EQ( probe.CallU( FF_GET_NUM_PARAMETERS ), 7u );
	EXPECT_EQ( clock.CallU( FF_GET_PARAMETER_TYPE, 0 ), FF_TYPE_OPTION );
	EXPECT_EQ( probe.CallU( FF_GET_PARAMETER_TYPE, 0 ), FF_TYPE_TEXT );

	// Each library's messages reach only its own callback.
	EXPECT_EQ( clock.Log(), std::vector< std::string >{ "Created VavoRozar effect" } );
	for( const std::string& line : probe.Log() )
		EXPECT_NE( line, "Created VavoRozar effect" );

	clock.CallU( FF_DEINITIALISE );
	probe.CallU( FF_DEINITIALISE );
}
}// namespace
