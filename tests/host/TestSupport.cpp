#include "TestSupport.h"

#include <filesystem>
#include <unistd.h>
#include <vector>

namespace testsupport
{
std::string Plugin( const std::string& name )
{
	return std::string( FFGL_PLUGIN_DIR ) + "/" + name + ".so";
}

std::string Fixture( const std::string& name )
{
	return std::string( HOST_FIXTURE_DIR ) + "/" + name + ".so";
}

plughost::GLContext& Context()
{
	static plughost::GLContext context;
	context.MakeCurrent();
	return context;
}

std::string ScratchDir( const std::string& name )
{
	static struct Made
	{
		std::vector< std::filesystem::path > paths;
		~Made()
		{
			std::error_code ignored;
			for( const auto& path : paths )
				std::filesystem::remove_all( path, ignored );
		}
	} made;
	const auto path = std::filesystem::temp_directory_path() / ( "plughost-" + name + "-" + std::to_string( getpid() ) );
	std::filesystem::remove_all( path );
	std::filesystem::create_directories( path );
	made.paths.push_back( path );
	return path.string();
}
}// namespace testsupport
