#include "Frei0rModule.h"

#include <ModuleFormat.h>

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace frei0rtest
{
namespace
{
std::string ReadFile( const std::string& path )
{
	std::ifstream in( path, std::ios::binary );
	return { std::istreambuf_iterator< char >( in ), std::istreambuf_iterator< char >() };
}

template< typename Function >
void Resolve( void* handle, const char* name, Function& function )
{
	function = reinterpret_cast< Function >( dlsym( handle, name ) );
	EXPECT_NE( function, nullptr ) << name;
}
}// namespace

std::string PluginPath( const std::string& name )
{
	return std::string( FFGL_PLUGIN_DIR ) + "/" + name + ".so";
}

std::string MakeModule( const std::string& plugin, const std::string& file )
{
	const std::string shell   = ReadFile( FFGL_FREI0R_BRIDGE );
	const std::string payload = ReadFile( plugin );
	EXPECT_FALSE( shell.empty() );
	EXPECT_FALSE( payload.empty() ) << plugin;
	const std::string path = std::string( FREI0R_TEST_MODULE_DIR ) + "/" + file;
	// Renamed into place: this process may still have an earlier one mapped.
	const std::string temporary = path + ".tmp";
	{
		std::ofstream out( temporary, std::ios::binary | std::ios::trunc );
		const auto footer = ffglfrei0r::MakeFooter( shell.size(), payload.size() );
		out << shell << payload;
		out.write( reinterpret_cast< const char* >( &footer ), sizeof footer );
	}
	std::filesystem::rename( temporary, path );
	return path;
}

Frei0rModule::Frei0rModule( const std::string& path )
{
	handle = dlopen( path.c_str(), RTLD_NOW | RTLD_LOCAL );
	EXPECT_NE( handle, nullptr ) << dlerror();
	if( handle == nullptr )
		return;
	Resolve( handle, "f0r_init", init );
	Resolve( handle, "f0r_deinit", deinit );
	Resolve( handle, "f0r_get_plugin_info", getPluginInfo );
	Resolve( handle, "f0r_get_param_info", getParamInfo );
	Resolve( handle, "f0r_construct", construct );
	Resolve( handle, "f0r_destruct", destruct );
	Resolve( handle, "f0r_set_param_value", setParamValue );
	Resolve( handle, "f0r_get_param_value", getParamValue );
	Resolve( handle, "f0r_update", update );
	Resolve( handle, "f0r_update2", update2 );
}

Frei0rModule::~Frei0rModule()
{
	if( handle != nullptr )
		dlclose( handle );
}

void Frei0rModule::SetDouble( f0r_instance_t instance, int index, double value ) const
{
	setParamValue( instance, &value, index );
}

double Frei0rModule::GetDouble( f0r_instance_t instance, int index ) const
{
	double value = -1.0;
	getParamValue( instance, &value, index );
	return value;
}

std::vector< uint8_t > Bytes( const std::vector< uint32_t >& frame )
{
	std::vector< uint8_t > bytes( frame.size() * 4 );
	std::memcpy( bytes.data(), frame.data(), bytes.size() );
	return bytes;
}

std::vector< uint32_t > Words( const std::vector< uint8_t >& bytes )
{
	std::vector< uint32_t > words( bytes.size() / 4 );
	std::memcpy( words.data(), bytes.data(), words.size() * 4 );
	return words;
}
}// namespace frei0rtest
