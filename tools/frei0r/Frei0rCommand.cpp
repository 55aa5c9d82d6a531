#include "Frei0rCommand.h"

#include "BridgeShell.h"
#include "ModuleName.h"
#include "common/CliOptions.h"
#include "common/CrashNotice.h"

#include <ModuleFormat.h>
#include <PluginLibrary.h>

#include <ffgl/FFGL.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace plughost::cli
{
namespace
{
struct Planned
{
	std::string plugin;
	std::string pluginName;
	std::string moduleName;
};

std::string ReadFile( const std::string& path )
{
	std::ifstream in( path, std::ios::binary );
	std::string bytes( ( std::istreambuf_iterator< char >( in ) ), std::istreambuf_iterator< char >() );
	if( !in.good() && !in.eof() )
		throw Failure{ "cannot read " + path };
	return bytes;
}

// Loads each plug-in for its name and type; nothing is written unless every
// one of them can become a module.
std::vector< Planned > Plan( const std::vector< std::string >& plugins )
{
	std::vector< Planned > planned;
	std::map< std::string, std::string > byModule;
	for( const auto& plugin : plugins )
	{
		std::string name;
		uint32_t type = 0;
		try
		{
			LoadOptions options;
			options.captureLog = false;
			PluginLibrary library( plugin, options );
			name = library.Identity().name;
			type = library.Identity().type;
		}
		catch( const Error& error )
		{
			throw Failure{ error.what() };
		}
		if( type != FF_SOURCE && type != FF_EFFECT && type != FF_MIXER )
			throw Failure{ plugin + ": plug-in type " + std::to_string( type ) + " is none of source, effect and mixer" };
		const std::string module = ModuleName( name );
		if( module.empty() )
			throw Failure{ plugin + ": the plug-in's name " + Quoted( name ) + " has no letter or digit to name a module by" };
		const auto [ other, fresh ] = byModule.emplace( module, plugin );
		if( !fresh )
			throw Failure{ plugin + " and " + other->second + " would both be the frei0r module " + module +
						   ".so: give one plug-in another name" };
		planned.push_back( { plugin, name, module } );
	}
	return planned;
}

// Written beside the target and renamed over it: a host that has the old
// module loaded keeps its copy intact, and no half-written module is ever seen.
void WriteModule( const fs::path& target, const std::string_view shell, const std::string& payload )
{
	const std::string temporary = ( target.parent_path() / ( "." + target.filename().string() + ".tmp-" + std::to_string( getpid() ) ) ).string();
	{
		std::ofstream out( temporary, std::ios::binary | std::ios::trunc );
		const auto footer = ffglfrei0r::MakeFooter( shell.size(), payload.size() );
		out.write( shell.data(), static_cast< std::streamsize >( shell.size() ) );
		out.write( payload.data(), static_cast< std::streamsize >( payload.size() ) );
		out.write( reinterpret_cast< const char* >( &footer ), sizeof footer );
		out.close();
		if( !out )
		{
			std::error_code ignored;
			fs::remove( temporary, ignored );
			throw Failure{ "cannot write " + target.string() };
		}
	}
	std::error_code error;
	fs::permissions( temporary, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
									fs::perms::others_read | fs::perms::others_exec, error );
	fs::rename( temporary, target, error );
	if( error )
	{
		std::error_code ignored;
		fs::remove( temporary, ignored );
		throw Failure{ "cannot write " + target.string() + ": " + error.message() };
	}
}

std::string Frei0rUsage()
{
	return "usage: plughost frei0r PLUGIN.so... [--dir DIR]\n"
		   "\n"
		   "Makes each FFGL plug-in a frei0r module, so that ffmpeg, MLT (Kdenlive,\n"
		   "Shotcut) and GStreamer load it. A module is one self-contained file, named\n"
		   "after the plug-in in lower case with every run of other characters than\n"
		   "letters and digits turned into one '_' (\"Vavo Rozar\" -> vavo_rozar.so).\n"
		   "Prints the path of each module written.\n"
		   "\n"
		   "options:\n"
		   "  --dir DIR   where to write the modules (created if missing);\n"
		   "              default ~/.frei0r-1/lib, where every frei0r host looks\n";
}

int RunFrei0r( const std::vector< std::string >& args, std::ostream& out, std::ostream& err )
{
	const Frei0rOptions options = ParseFrei0rArgs( args );
	AnnouncePluginCrashes();
	const std::vector< Planned > planned = Plan( options.plugins );
	const fs::path dir                   = options.dir.empty() ? DefaultFrei0rDir() : options.dir;
	std::error_code error;
	fs::create_directories( dir, error );
	if( error || !fs::is_directory( dir ) )
		throw Failure{ "cannot make the folder " + dir.string() + ( error ? ": " + error.message() : "" ) };
	const std::string_view shell = BridgeShell();
	for( const auto& module : planned )
	{
		const fs::path target = dir / ( module.moduleName + ".so" );
		WriteModule( target, shell, ReadFile( module.plugin ) );
		out << target.string() << "\n";
	}
	(void)err;
	return kExitOk;
}
}// namespace

Frei0rOptions ParseFrei0rArgs( const std::vector< std::string >& args )
{
	Frei0rOptions options;
	for( std::size_t i = 0; i < args.size(); ++i )
	{
		const std::string& arg = args[ i ];
		if( IsHelp( arg ) )
			throw HelpRequested{};
		if( TakeValue( args, i, "--dir", options.dir ) )
		{
			if( options.dir.empty() )
				throw UsageError( "--dir needs a folder" );
			continue;
		}
		if( !arg.empty() && arg[ 0 ] == '-' )
			throw UsageError( "unknown option " + Quoted( arg ) );
		options.plugins.push_back( arg );
	}
	if( options.plugins.empty() )
		throw UsageError( "frei0r needs at least one plug-in file" );
	return options;
}

std::string DefaultFrei0rDir()
{
	const char* home = std::getenv( "HOME" );
	if( home == nullptr || *home == '\0' )
	{
		const passwd* entry = getpwuid( getuid() );
		home                = entry ? entry->pw_dir : nullptr;
	}
	if( home == nullptr || *home == '\0' )
		throw Failure{ "no home folder for ~/.frei0r-1/lib: give --dir" };
	return ( fs::path( home ) / ".frei0r-1" / "lib" ).string();
}

CommandSpec Frei0rCommand()
{
	return { "frei0r", "frei0r PLUGIN.so...", "make frei0r modules for ffmpeg, MLT and GStreamer", Frei0rUsage, RunFrei0r };
}
}// namespace plughost::cli
