// Test support: a frei0r module made from a plug-in (shell + plug-in bytes +
// footer, as `plughost frei0r` writes it) and loaded with dlopen the way
// frei0r hosts load modules, its entry points at hand.
#pragma once

#include <frei0r.h>

#include <string>
#include <vector>

namespace frei0rtest
{
// Writes <dir>/<file> from the bridge shell and the plug-in; answers the path.
std::string MakeModule( const std::string& plugin, const std::string& file );
// The plug-in file of one of ours, by target name.
std::string PluginPath( const std::string& name );

class Frei0rModule
{
public:
	explicit Frei0rModule( const std::string& path );// fails the test when it cannot load
	~Frei0rModule();
	Frei0rModule( const Frei0rModule& )            = delete;
	Frei0rModule& operator=( const Frei0rModule& ) = delete;

	bool Loaded() const { return handle != nullptr; }

	int ( *init )()                                                            = nullptr;
	void ( *deinit )()                                                         = nullptr;
	void ( *getPluginInfo )( f0r_plugin_info_t* )                              = nullptr;
	void ( *getParamInfo )( f0r_param_info_t*, int )                           = nullptr;
	f0r_instance_t ( *construct )( unsigned, unsigned )                        = nullptr;
	void ( *destruct )( f0r_instance_t )                                       = nullptr;
	void ( *setParamValue )( f0r_instance_t, f0r_param_t, int )                = nullptr;
	void ( *getParamValue )( f0r_instance_t, f0r_param_t, int )                = nullptr;
	void ( *update )( f0r_instance_t, double, const uint32_t*, uint32_t* )     = nullptr;
	void ( *update2 )( f0r_instance_t, double, const uint32_t*, const uint32_t*, const uint32_t*, uint32_t* ) = nullptr;

	// Conveniences over the raw calls.
	void SetDouble( f0r_instance_t instance, int index, double value ) const;
	double GetDouble( f0r_instance_t instance, int index ) const;

private:
	void* handle = nullptr;
};

// Pixels as bytes, top row first, for comparing with the host library.
std::vector< uint8_t > Bytes( const std::vector< uint32_t >& frame );
std::vector< uint32_t > Words( const std::vector< uint8_t >& bytes );
}// namespace frei0rtest
