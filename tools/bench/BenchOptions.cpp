#include "BenchOptions.h"

namespace plughost::cli
{
namespace
{
constexpr uint32_t kMaxFrames = 100000;

uint32_t Count( const std::string& option, const std::string& value, uint32_t minimum )
{
	uint32_t count = 0;
	if( !ParseUnsigned( value, kMaxFrames, count ) || count < minimum )
		throw UsageError( option + " expects a whole number from " + std::to_string( minimum ) + " to " +
						  std::to_string( kMaxFrames ) + ", got \"" + value + "\"" );
	return count;
}
}// namespace

BenchOptions ParseBenchArgs( const std::vector< std::string >& args )
{
	BenchOptions options;
	for( std::size_t i = 0; i < args.size(); ++i )
	{
		std::string value;
		const std::string& arg = args[ i ];
		if( IsHelp( arg ) )
			throw HelpRequested{};
		if( TakeValue( args, i, "--size", value ) )
			options.sizes.push_back( ParseSize( value ) );
		else if( TakeValue( args, i, "--set", value ) )
			options.settings.push_back( ParseSetting( value ) );
		else if( TakeValue( args, i, "--input", value ) )
		{
			if( value.empty() )
				throw UsageError( "--input needs a PNG file" );
			options.inputs.push_back( value );
		}
		else if( TakeValue( args, i, "--frames", value ) )
			options.frames = Count( "--frames", value, 1 );
		else if( TakeValue( args, i, "--warmup", value ) )
			options.warmup = Count( "--warmup", value, 0 );
		else if( arg == "--json" )
			options.json = true;
		else
			TakePlugin( "bench", arg, options.plugin );
	}
	if( options.plugin.empty() )
		throw UsageError( "bench needs a plug-in file" );
	if( options.sizes.empty() )
		options.sizes = { { 1280, 720 }, { 1920, 1080 } };
	return options;
}

std::string BenchUsage()
{
	return "usage: plughost bench PLUGIN.so [options]\n"
		   "\n"
		   "Times the plug-in's frames (code 17 through glFinish) at each size, each\n"
		   "frame interleaved with a trivial full-viewport pass on the same target, and\n"
		   "times instantiation (code 18).\n"
		   "\n"
		   "options:\n"
		   "  --size WxH          a frame size; repeatable (default 1280x720 and 1920x1080)\n"
		   "  --set NAME=VALUE    set a parameter, as in render; repeatable\n"
		   "  --input FILE.png    an input picture; repeatable. Without any, effects\n"
		   "                      and mixers get generated test patterns of the frame size\n"
		   "  --frames N          timed frames per size (default 100)\n"
		   "  --warmup N          untimed frames first (default 10)\n"
		   "  --json              print the results as JSON\n"
		   "\n"
		   "Reports per size the median, 10th and 90th percentile of wall time per\n"
		   "frame, the calling thread's CPU time per frame (a software renderer's own\n"
		   "threads are not counted), and the ratio of the medians to the trivial pass.\n";
}
}// namespace plughost::cli
