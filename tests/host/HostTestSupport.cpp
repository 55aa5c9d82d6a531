#include "HostTestSupport.h"

#include <filesystem>
#include <unistd.h>
#include <vector>

namespace hosttest
{
std::string Fixture( const std::string& name )
{
	return std::string( HOST_FIXTURE_DIR ) + "/" + name + ".so";
}

std::string ClockPath()
{
	return std::string( FFGL_PLUGIN_DIR ) + "/VavoRozar.so";
}

bool ClockBuilt()
{
	return std::filesystem::exists( ClockPath() );
}

plughost::GLContext& Context()
{
	static plughost::GLContext context;
	context.MakeCurrent();
	return context;
}

// Scratch directories are removed when the test program ends.
struct ScratchDirs
{
	std::vector< std::filesystem::path > paths;
	~ScratchDirs()
	{
		std::error_code ignored;
		for( const auto& path : paths )
			std::filesystem::remove_all( path, ignored );
	}
};

std::string ScratchDir( const std::string& name )
{
	static ScratchDirs made;
	const auto path = std::filesystem::temp_directory_path() / ( "plughost-" + name + "-" + std::to_string( getpid() ) );
	std::filesystem::remove_all( path );
	std::filesystem::create_directories( path );
	made.paths.push_back( path );
	return path.string();
}
}// namespace hosttest
