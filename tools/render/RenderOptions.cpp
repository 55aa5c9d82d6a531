#include "RenderOptions.h"

#include <cmath>
#include <cstdlib>

namespace plughost::cli
{
namespace
{
constexpr uint32_t kMaxFrames = 1000000;

bool EndsWith( const std::string& text, const std::string& end )
{
	return text.size() >= end.size() && text.compare( text.size() - end.size(), end.size(), end ) == 0;
}

// Plug-ins take host time as seconds since playback started: finite, not
// negative.
double ParseStartTime( const std::string& text )
{
	char* end          = nullptr;
	const double value = std::strtod( text.c_str(), &end );
	if( text.empty() || *end != '\0' || !std::isfinite( value ) || value < 0.0 || value > 1e9 )
		throw UsageError( "--time expects seconds from 0 to 1e9, got \"" + text + "\"" );
	return value;
}
}// namespace

bool RenderOptions::Video() const
{
	return out && ( *out == "-" || EndsWith( Lower( *out ), ".y4m" ) );
}

Background ParseBackground( const std::string& text )
{
	const std::string lower = Lower( text );
	if( lower == "checker" )
		return Background::Checkerboard();
	if( lower == "black" )
		return Background::Black();
	if( lower == "white" )
		return Background::Colour( 255, 255, 255 );
	if( lower.size() == 7 && lower[ 0 ] == '#' && lower.find_first_not_of( "0123456789abcdef", 1 ) == std::string::npos )
	{
		const unsigned long rgb = std::strtoul( lower.c_str() + 1, nullptr, 16 );
		return Background::Colour( static_cast< uint8_t >( rgb >> 16 ), static_cast< uint8_t >( rgb >> 8 ), static_cast< uint8_t >( rgb ) );
	}
	throw UsageError( "--background expects checker, black, white or #RRGGBB, got \"" + text + "\"" );
}

RenderOptions ParseRenderArgs( const std::vector< std::string >& args )
{
	RenderOptions options;
	bool fpsGiven = false, noPacing = false, chromaGiven = false, rangeGiven = false;
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
		else if( TakeValue( args, i, "--animate", value ) )
			options.animations.push_back( value );
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
			options.fps = ParseFrameRate( value );
			fpsGiven = true;
		}
		else if( TakeValue( args, i, "--time", value ) )
			options.startTime = ParseStartTime( value );
		else if( arg == "--no-pacing" )
			noPacing = true;
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
		else if( TakeValue( args, i, "--background", value ) )
			options.background = ParseBackground( value );
		else if( TakeValue( args, i, "--chroma", value ) )
		{
			if( value != "420" && value != "444" )
				throw UsageError( "--chroma expects 420 or 444, got \"" + value + "\"" );
			options.chroma = value == "420" ? ChromaFormat::Yuv420 : ChromaFormat::Yuv444;
			chromaGiven    = true;
		}
		else if( TakeValue( args, i, "--range", value ) )
		{
			if( value != "limited" && value != "full" )
				throw UsageError( "--range expects limited or full, got \"" + value + "\"" );
			options.range = value == "full" ? VideoRange::Full : VideoRange::Limited;
			rangeGiven    = true;
		}
		else
			TakePlugin( "render", arg, options.plugin );
	}
	options.pacing = !noPacing;
	if( options.plugin.empty() )
		throw UsageError( "render needs a plug-in file" );
	if( options.frames && options.out && !options.Video() )
		throw UsageError( "--out names a single PNG frame; with --frames use --out-dir, or --out CLIP.y4m for video" );
	if( options.out && !options.Video() )
	{
		// Only PNG is written: another image type's name would mislabel it.
		const std::string name = options.out->substr( options.out->find_last_of( '/' ) + 1 );
		const std::size_t dot  = name.find_last_of( '.' );
		if( dot != std::string::npos && dot > 0 && Lower( name.substr( dot ) ) != ".png" )
			throw UsageError( "--out writes PNG images (FILE.png) or YUV4MPEG2 video (CLIP.y4m), not \"" + name.substr( dot ) + "\"" );
	}
	if( fpsGiven && !options.frames && !options.Video() )
		throw UsageError( "--fps only applies to a sequence; add --frames N" );
	if( noPacing && !options.frames )
		throw UsageError( "--no-pacing only applies to a sequence; add --frames N" );
	if( !options.animations.empty() && !options.frames )
		throw UsageError( "--animate moves a parameter across a sequence; add --frames N" );
	if( ( chromaGiven || rangeGiven ) && !options.Video() )
		throw UsageError( std::string( chromaGiven ? "--chroma" : "--range" ) + " applies to video; add --out CLIP.y4m or --out -" );
	if( options.Video() && options.outDir )
		throw UsageError( "--out-dir is for PNG files; give the video's path in --out" );
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
		   "  --out CLIP.y4m      write a YUV4MPEG2 video instead of PNG files;\n"
		   "  --out -             the same stream to standard output (and nothing else)\n"
		   "  --frames N          render N frames at host times k/FPS, written as\n"
		   "                      NAME_0000.png, NAME_0001.png, ... into --out-dir\n"
		   "  --fps F             frames per second of a sequence (default 30)\n"
		   "  --time T            host time of the first frame in seconds (default 0);\n"
		   "                      frame k gets T + k/FPS\n"
		   "  --no-pacing         render a sequence as fast as possible; by default\n"
		   "                      frame k starts no earlier than k/FPS seconds after\n"
		   "                      frame 0, so plug-ins with their own clocks move\n"
		   "  --animate NAME=FROM:TO\n"
		   "                      move a parameter linearly from the first frame to\n"
		   "                      the last; values as for --set; repeatable\n"
		   "  --background B      composite over checker, black, white or #RRGGBB;\n"
		   "                      PNG output keeps the plug-in's RGBA pixels without it,\n"
		   "                      video is composited over black by default\n"
		   "  --chroma 420|444    video chroma: 420 (C420jpeg, default) or 444 (C444)\n"
		   "  --range limited|full  video levels, BT.709 (default limited: Y' 16..235)\n"
		   "  --out-dir DIR       directory for PNG output (created if missing)\n";
}
}// namespace plughost::cli
