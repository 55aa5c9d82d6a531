#include "CliOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace plughost::cli
{
namespace
{
constexpr uint32_t kMaxSide   = 16384;
constexpr uint32_t kMaxFrames = 1000000;

bool ParseUnsigned( const std::string& text, uint32_t maximum, uint32_t& value )
{
	if( text.empty() || text.find_first_not_of( "0123456789" ) != std::string::npos || text.size() > 10 )
		return false;
	const unsigned long long parsed = std::strtoull( text.c_str(), nullptr, 10 );
	if( parsed > maximum )
		return false;
	value = static_cast< uint32_t >( parsed );
	return true;
}

bool IsHelp( const std::string& arg )
{
	return arg == "--help" || arg == "-h";
}

// Accepts "--name value" and "--name=value"; answers whether `args[i]` was it.
bool TakeValue( const std::vector< std::string >& args, std::size_t& i, const std::string& name, std::string& value )
{
	const std::string& arg = args[ i ];
	if( arg == name )
	{
		if( i + 1 >= args.size() )
			throw UsageError( name + " needs a value" );
		value = args[ ++i ];
		return true;
	}
	if( arg.size() > name.size() && arg.compare( 0, name.size(), name ) == 0 && arg[ name.size() ] == '=' )
	{
		value = arg.substr( name.size() + 1 );
		return true;
	}
	return false;
}

Setting ParseSetting( const std::string& text )
{
	const std::size_t equals = text.find( '=' );
	if( equals == std::string::npos || equals == 0 )
		throw UsageError( "--set expects NAME=VALUE, got \"" + text + "\"" );
	return { text.substr( 0, equals ), text.substr( equals + 1 ) };
}

double ParseFps( const std::string& text )
{
	errno            = 0;
	char* end        = nullptr;
	const double fps = std::strtod( text.c_str(), &end );
	if( text.empty() || end != text.c_str() + text.size() || errno != 0 || !std::isfinite( fps ) || fps <= 0.0 )
		throw UsageError( "--fps expects a positive number of frames per second, got \"" + text + "\"" );
	return fps;
}

Invocation ParseInfo( const std::vector< std::string >& args )
{
	Invocation invocation;
	invocation.command = Command::Info;
	for( std::size_t i = 1; i < args.size(); ++i )
	{
		if( IsHelp( args[ i ] ) )
			return Invocation{ Command::Help, "info", {}, {} };
		if( args[ i ].size() > 1 && args[ i ][ 0 ] == '-' )
			throw UsageError( "info: unknown option " + args[ i ] );
		if( !invocation.plugin.empty() )
			throw UsageError( "info takes one plug-in, got a second: " + args[ i ] );
		invocation.plugin = args[ i ];
	}
	if( invocation.plugin.empty() )
		throw UsageError( "info needs a plug-in file" );
	return invocation;
}

Invocation ParseRender( const std::vector< std::string >& args )
{
	Invocation invocation;
	invocation.command     = Command::Render;
	RenderOptions& options = invocation.render;
	bool fpsGiven          = false;
	for( std::size_t i = 1; i < args.size(); ++i )
	{
		std::string value;
		const std::string& arg = args[ i ];
		if( IsHelp( arg ) )
			return Invocation{ Command::Help, "render", {}, {} };
		if( TakeValue( args, i, "--size", value ) )
		{
			const auto size = ParseSize( value );
			options.width   = size.first;
			options.height  = size.second;
		}
		else if( TakeValue( args, i, "--set", value ) )
			options.settings.push_back( ParseSetting( value ) );
		else if( TakeValue( args, i, "--frames", value ) )
		{
			uint32_t frames = 0;
			if( !ParseUnsigned( value, kMaxFrames, frames ) || frames == 0 )
				throw UsageError( "--frames expects a whole number from 1 to " + std::to_string( kMaxFrames ) + ", got \"" +
								  value + "\"" );
			options.frames = frames;
		}
		else if( TakeValue( args, i, "--fps", value ) )
		{
			options.fps = ParseFps( value );
			fpsGiven    = true;
		}
		else if( TakeValue( args, i, "--input", value ) )
		{
			if( value.empty() )
				throw UsageError( "--input needs a PNG file" );
			options.inputs.push_back( value );
		}
		else if( TakeValue( args, i, "--out", value ) )
		{
			if( value.empty() )
				throw UsageError( "--out needs a file name" );
			options.out = value;
		}
		else if( TakeValue( args, i, "--out-dir", value ) )
		{
			if( value.empty() )
				throw UsageError( "--out-dir needs a directory" );
			options.outDir = value;
		}
		else if( arg.size() > 1 && arg[ 0 ] == '-' )
			throw UsageError( "render: unknown option " + arg );
		else if( !invocation.plugin.empty() )
			throw UsageError( "render takes one plug-in, got a second: " + arg );
		else
			invocation.plugin = arg;
	}
	if( invocation.plugin.empty() )
		throw UsageError( "render needs a plug-in file" );
	if( options.frames && options.out )
		throw UsageError( "--out names a single frame; with --frames use --out-dir" );
	if( fpsGiven && !options.frames )
		throw UsageError( "--fps only applies to a sequence; add --frames N" );
	return invocation;
}
}// namespace

std::pair< uint32_t, uint32_t > ParseSize( const std::string& text )
{
	const std::size_t x = text.find_first_of( "xX" );
	uint32_t width = 0, height = 0;
	if( x == std::string::npos || !ParseUnsigned( text.substr( 0, x ), kMaxSide, width ) ||
		!ParseUnsigned( text.substr( x + 1 ), kMaxSide, height ) || width == 0 || height == 0 )
		throw UsageError( "--size expects WIDTHxHEIGHT with each side from 1 to " + std::to_string( kMaxSide ) +
						  ", got \"" + text + "\"" );
	return { width, height };
}

Invocation ParseCommandLine( const std::vector< std::string >& args )
{
	if( args.empty() )
		throw UsageError( "no command given" );
	const std::string& command = args[ 0 ];
	if( IsHelp( command ) )
		return Invocation{};
	if( command == "help" )
	{
		if( args.size() > 2 )
			throw UsageError( "help takes at most one command name" );
		if( args.size() == 2 && args[ 1 ] != "info" && args[ 1 ] != "render" )
			throw UsageError( "no help for unknown command \"" + args[ 1 ] + "\"; commands are info and render" );
		return Invocation{ Command::Help, args.size() == 2 ? args[ 1 ] : "", {}, {} };
	}
	if( command == "info" )
		return ParseInfo( args );
	if( command == "render" )
		return ParseRender( args );
	throw UsageError( "unknown command \"" + command + "\"; commands are info, render and help" );
}

std::string GeneralUsage()
{
	return "usage: plughost <command> [options]\n"
		   "\n"
		   "Loads an FFGL plug-in and drives it on a headless OpenGL 4.1 context.\n"
		   "\n"
		   "commands:\n"
		   "  info PLUGIN.so      show identity, capabilities and parameters\n"
		   "  render PLUGIN.so    render one frame or a sequence into PNG files\n"
		   "  help [COMMAND]      show this text or a command's options\n"
		   "\n"
		   "exit status: 0 success, 1 the plug-in failed or could not be loaded, 2 usage error\n";
}

std::string InfoUsage()
{
	return "usage: plughost info PLUGIN.so\n"
		   "\n"
		   "Prints the plug-in's identity, capabilities, input counts and a table of\n"
		   "its parameters (index, name, type, default, range, elements, visibility, group).\n";
}

std::string RenderUsage()
{
	return "usage: plughost render PLUGIN.so [options]\n"
		   "\n"
		   "options:\n"
		   "  --size WxH          frame size in pixels (default 1280x720)\n"
		   "  --set NAME=VALUE    set a parameter before rendering; repeatable.\n"
		   "                      options take an element name or index, booleans\n"
		   "                      on/off/true/false/1/0, text parameters any text,\n"
		   "                      everything else a number\n"
		   "  --input FILE.png    an input picture for effects and mixers; repeatable\n"
		   "  --out FILE.png      output file for a single frame (default: the plug-in\n"
		   "                      file's name with .png, in --out-dir or the current directory)\n"
		   "  --frames N          render N frames at host times k/FPS, written as\n"
		   "                      NAME_0000.png, NAME_0001.png, ... into --out-dir\n"
		   "  --fps F             frames per second of a sequence (default 30)\n"
		   "  --out-dir DIR       directory for the output (created if missing)\n";
}
}// namespace plughost::cli
