#include "ToolTestSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tooltest
{
namespace
{
std::string Slurp( const std::string& path )
{
	std::ifstream file( path );
	std::stringstream text;
	text << file.rdbuf();
	return text.str();
}
}// namespace

std::string Quote( const std::string& text )
{
	std::string quoted = "'";
	for( char c : text )
		quoted += c == '\'' ? std::string( "'\\''" ) : std::string( 1, c );
	return quoted + "'";
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
	const auto path = std::filesystem::temp_directory_path() / ( "plughost-tool-" + name + "-" + std::to_string( getpid() ) );
	std::filesystem::remove_all( path );
	std::filesystem::create_directories( path );
	made.paths.push_back( path );
	return path.string();
}

Result RunTool( const std::string& arguments, const std::string& directory )
{
	static int counter = 0;
	const std::string capture = ScratchDir( "capture" + std::to_string( ++counter ) );
	const std::string command = "cd " + Quote( directory ) + " && " + Quote( PLUGHOST_TOOL ) + " " + arguments + " >" +
								Quote( capture + "/out" ) + " 2>" + Quote( capture + "/err" ) + " </dev/null";
	const int raw = std::system( command.c_str() );
	Result result;
	result.status = WIFEXITED( raw ) ? WEXITSTATUS( raw ) : -1;
	result.out    = Slurp( capture + "/out" );
	result.err    = Slurp( capture + "/err" );
	std::filesystem::remove_all( capture );
	return result;
}

std::string ClockPath()
{
	return std::string( FFGL_PLUGIN_DIR ) + "/VavoRozar.so";
}

bool ClockBuilt()
{
	return std::filesystem::exists( ClockPath() );
}

std::string Normalised( const std::string& text )
{
	std::string result;
	bool space = false;
	for( char c : text )
	{
		if( c == ' ' )
		{
			space = true;
			continue;
		}
		if( c == '\n' )
			space = false;
		if( space && !result.empty() && result.back() != '\n' )
			result += ' ';
		space = false;
		result += c;
	}
	return result;
}
}// namespace tooltest
