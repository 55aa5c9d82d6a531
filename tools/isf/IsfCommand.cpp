#include "IsfCommand.h"

#include "common/CliOptions.h"

#include <GLContext.h>
#include <IsfBundle.h>
#include <IsfDocument.h>
#include <IsfExpression.h>
#include <IsfRenderer.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

#ifndef FFGL_ISF_SHELL_NAME
#define FFGL_ISF_SHELL_NAME "ffgl-isf-shell.so"
#endif
#ifndef FFGL_ISF_SHELL_INSTALLED
#define FFGL_ISF_SHELL_INSTALLED "../lib/ffgl-sdk/ffgl-isf-shell.so"
#define FFGL_ISF_SHELL_INSTALLED_DOC "lib/ffgl-sdk/ffgl-isf-shell.so"
#endif

namespace plughost::cli
{
namespace
{
namespace fs = std::filesystem;

std::string Usage()
{
	return "usage: plughost isf FILE.fs... [--out DIR] [--name NAME] [--id XXXX] [--shell SHELL.so]\n"
		   "       plughost isf FILE.fs --output PLUGIN.so [--name NAME] [--id XXXX]\n"
		   "\n"
		   "Makes one FFGL plug-in per ISF file: a copy of the ISF shell library that\n"
		   "carries the shader, its .vs companion (same name, .vs) and its IMPORTED\n"
		   "images, so the plug-in can be copied anywhere on its own. Each file is\n"
		   "checked first (header, images, size expressions, and a compile of the\n"
		   "shader on a headless GL context); nothing is written for a file that fails.\n"
		   "\n"
		   "Each plug-in is written to DIR/<name>.so, <name> being the plug-in's name:\n"
		   "the file name without .fs (or --name), printable ASCII, blanks collapsed,\n"
		   "and past 16 bytes the first 13, '~' and two characters of a hash. '/' in a\n"
		   "name becomes '_'. Its four-character ID comes from a hash of the name\n"
		   "unless --id gives one. Each written path is printed on its own line.\n"
		   "\n"
		   "options:\n"
		   "  --out DIR         where the plug-ins go (made if missing; default: .)\n"
		   "  --output FILE.so  write the one plug-in exactly there (one file only)\n"
		   "  --name NAME       the plug-in's name (one file only)\n"
		   "  --id XXXX         the plug-in's four-character ID (one file only)\n"
		   "  --shell SHELL.so  the shell library to copy; by default " FFGL_ISF_SHELL_NAME "\n"
		   "                    next to plughost (build tree) or, for an installed\n"
		   "                    plughost in PREFIX/bin, PREFIX/" FFGL_ISF_SHELL_INSTALLED_DOC "\n"
		   "\n"
		   "exit status: 0 all written, 1 a file failed (the message names it, and the\n"
		   "line for shader errors), 2 usage error\n";
}

std::string ReadAll( const std::string& path )
{
	std::ifstream file( path, std::ios::binary );
	if( !file )
		throw Failure{ "cannot read " + path + ": " + std::strerror( errno ) };
	return std::string( std::istreambuf_iterator< char >( file ), {} );
}

// The size expressions must give a size at a typical render size and the
// inputs' defaults; a run-time value that goes bad keeps the full size.
void CheckSizes( const isf::Document& document )
{
	std::map< std::string, double > variables = { { "WIDTH", 1920 }, { "HEIGHT", 1080 } };
	for( const isf::Input& input : document.inputs )
		if( input.type == isf::InputType::Float || input.type == isf::InputType::Long || input.type == isf::InputType::Bool ||
			input.type == isf::InputType::Event )
			variables[ input.name ] = input.hasDefault ? input.defaultValue[ 0 ] : 0.0;
	for( const isf::Pass& pass : document.passes )
		for( const std::string* expression : { &pass.width, &pass.height } )
			if( !expression->empty() )
			{
				try
				{
					isf::Evaluate( *expression, variables );
				}
				catch( const isf::Error& error )
				{
					throw isf::Error( document.fileName + ": pass " + ( pass.target.empty() ? "to the output" : "\"" + pass.target + "\"" ) +
									  ": " + error.what() );
				}
			}
}

// Writes beside the destination, then renames, so a failure never leaves
// half a plug-in under the final name.
void WritePlugin( const fs::path& path, const std::string& shell, uint64_t shellSize, const std::vector< uint8_t >& payload )
{
	const fs::path temporary = path.string() + ".tmp" + std::to_string( getpid() );
	{
		std::ofstream file( temporary, std::ios::binary | std::ios::trunc );
		file.write( shell.data(), static_cast< std::streamsize >( shellSize ) );
		file.write( reinterpret_cast< const char* >( payload.data() ), static_cast< std::streamsize >( payload.size() ) );
		file.close();
		if( !file )
		{
			const std::string reason = std::strerror( errno );
			std::error_code ignored;
			fs::remove( temporary, ignored );
			throw Failure{ "cannot write " + path.string() + ": " + reason };
		}
	}
	chmod( temporary.c_str(), 0755 );
	std::error_code error;
	fs::rename( temporary, path, error );
	if( error )
	{
		std::error_code ignored;
		fs::remove( temporary, ignored );
		throw Failure{ "cannot write " + path.string() + ": " + error.message() };
	}
}

int RunIsf( const std::vector< std::string >& args, std::ostream& out, std::ostream& err )
{
	const IsfOptions options = ParseIsfArgs( args );
	const std::string shellPath = FindIsfShell( options.shell );
	const std::string shell     = ReadAll( shellPath );
	const uint64_t shellSize    = isf::LibrarySize( shellPath );
	if( shellSize == 0 || shell.size() < 4 || shell.compare( 0, 4, "\x7f" "ELF" ) != 0 )
		throw Failure{ shellPath + " is not the ISF shell library" };
	std::error_code error;
	const fs::path folder = options.output ? fs::path( *options.output ).parent_path() : fs::path( options.outDir );
	if( !folder.empty() )
		fs::create_directories( folder, error );
	if( error )
		throw Failure{ "cannot create " + folder.string() + ": " + error.message() };

	std::unique_ptr< GLContext > context;
	std::set< std::string > written;
	int status = kExitOk;
	for( const std::string& file : options.files )
	{
		try
		{
			const isf::Bundle bundle     = isf::LoadIsfFiles( file, options.name, options.id );
			const isf::Document document = isf::ParseDocument( bundle.fragment, bundle.fragmentFile );
			CheckSizes( document );
			if( !context )
				context = std::make_unique< GLContext >();
			const std::string problem = isf::CheckCompiles( document, bundle );
			if( !problem.empty() )
				throw isf::Error( problem );
			const fs::path path = options.output ? fs::path( *options.output ) : fs::path( options.outDir ) / PluginFileName( bundle.name );
			if( !written.insert( path.string() ).second )
				throw isf::Error( bundle.fragmentFile + ": its plug-in name \"" + bundle.name + "\" is that of an earlier file; " +
								  path.string() + " is not written twice" );
			WritePlugin( path, shell, shellSize, isf::Serialize( bundle ) );
			out << path.string() << "\n";
		}
		catch( const isf::Error& failure )
		{
			err << "plughost isf: " << failure.what() << "\n";
			status = kExitFailure;
		}
		catch( const Failure& failure )
		{
			err << "plughost isf: " << failure.message << "\n";
			status = kExitFailure;
		}
	}
	return status;
}
}// namespace

IsfOptions ParseIsfArgs( const std::vector< std::string >& args )
{
	IsfOptions options;
	std::string value;
	for( std::size_t i = 0; i < args.size(); ++i )
	{
		const std::string& arg = args[ i ];
		if( IsHelp( arg ) )
			throw HelpRequested{};
		if( TakeValue( args, i, "--out", value ) )
		{
			if( value.empty() )
				throw UsageError( "--out needs a folder" );
			options.outDir = value;
		}
		else if( TakeValue( args, i, "--output", value ) )
		{
			if( value.empty() )
				throw UsageError( "--output needs a file name" );
			options.output = value;
		}
		else if( TakeValue( args, i, "--name", value ) )
		{
			if( value.empty() )
				throw UsageError( "--name needs a name" );
			options.name = value;
		}
		else if( TakeValue( args, i, "--id", value ) )
		{
			if( !isf::ValidId( value ) )
				throw UsageError( "--id takes four printable ASCII characters, not " + Quoted( value ) );
			options.id = value;
		}
		else if( TakeValue( args, i, "--shell", value ) )
			options.shell = value;
		else if( !arg.empty() && arg[ 0 ] == '-' && arg != "-" )
			throw UsageError( "unknown option " + Quoted( arg ) );
		else
			options.files.push_back( arg );
	}
	if( options.files.empty() )
		throw UsageError( "no ISF file given" );
	if( ( options.name || options.id || options.output ) && options.files.size() > 1 )
		throw UsageError( "--name, --id and --output name one plug-in; give one ISF file with them" );
	return options;
}

std::string FindIsfShell( const std::optional< std::string >& given )
{
	if( given )
	{
		if( !fs::is_regular_file( *given ) )
			throw Failure{ "no ISF shell at " + *given };
		return *given;
	}
	std::error_code error;
	const fs::path self = fs::read_symlink( "/proc/self/exe", error );
	if( error )
		throw Failure{ "cannot find the ISF shell: this program's own path is unknown (" + error.message() + "); give --shell" };
	const fs::path candidates[] = { self.parent_path() / FFGL_ISF_SHELL_NAME, self.parent_path() / FFGL_ISF_SHELL_INSTALLED };
	for( const fs::path& candidate : candidates )
		if( fs::is_regular_file( candidate, error ) )
			return candidate.lexically_normal().string();
	throw Failure{ "cannot find the ISF shell: neither " + candidates[ 0 ].string() + " nor " +
				   candidates[ 1 ].lexically_normal().string() + " exists; give --shell" };
}

std::string PluginFileName( const std::string& name )
{
	std::string file;
	for( char c : name )
		file += ( c == '/' || static_cast< unsigned char >( c ) < 32 ) ? '_' : c;
	if( file.empty() || file[ 0 ] == '.' )
		file = "_" + file;
	return file + ".so";
}

CommandSpec IsfCommand()
{
	return { "isf", "isf FILE.fs...", "make FFGL plug-ins from ISF shader files", Usage, RunIsf };
}
}// namespace plughost::cli
