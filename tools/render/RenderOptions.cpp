#include "RenderOptions.h"

namespace plughost::cli
{
namespace
{
constexpr uint32_t kMaxFrames = 1000000;
}

RenderOptions ParseRenderArgs( const std::vector< std::string >& args )
{
	RenderOptions options;
	bool fpsGiven = false;
	for( std::size_t i = 0; i < args.size(); ++i )
	{
		std::string value;
		const std::string& arg = args[ i ];
		if( IsHelp( arg ) )
			throw HelpRequested{};
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
			options.fps = ParsePositive( "--fps", value );
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
		else
			TakePlugin( "render", arg, options.plugin );
	}
	if( options.plugin.empty() )
		throw UsageError( "render needs a plug-in file" );
	if( options.frames && options.out )
		throw UsageError( "--out names a single frame; with --frames use --out-dir" );
	if( fpsGiven && !options.frames )
		throw UsageError( "--fps only applies to a sequence; add --frames N" );
	return options;
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
