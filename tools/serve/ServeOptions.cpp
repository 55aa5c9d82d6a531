#include "ServeOptions.h"

namespace plughost::cli::serve
{
ServeOptions ParseServeArgs( const std::vector< std::string >& args )
{
	ServeOptions options;
	if( args.size() == 1 && args[ 0 ] == "--worker" )
	{
		options.worker = true;
		return options;
	}
	for( std::size_t i = 0; i < args.size(); ++i )
	{
		std::string value;
		const std::string& arg = args[ i ];
		if( IsHelp( arg ) )
			throw HelpRequested{};
		if( TakeValue( args, i, "--port", value ) )
		{
			if( !ParseUnsigned( value, 65535, options.port ) )
				throw UsageError( "--port expects a port number from 0 to 65535, got \"" + value + "\"" );
		}
		else if( TakeValue( args, i, "--bind", value ) )
		{
			if( value.empty() )
				throw UsageError( "--bind needs an address, such as 127.0.0.1 or 0.0.0.0" );
			options.bind = value;
		}
		else if( TakeValue( args, i, "--size", value ) )
		{
			const auto size = ParseSize( value );
			// Each frame crosses from the worker in one message.
			if( size.first > 4096 || size.second > 4096 || size.first * size.second > 4096u * 3840u )
				throw UsageError( "--size: the preview takes at most 4096 pixels on a side and 4096x3840 in all, got \"" + value + "\"" );
			options.width  = size.first;
			options.height = size.second;
		}
		else if( TakeValue( args, i, "--fps", value ) )
		{
			options.fps = ParseFrameRate( value );
		}
		else if( TakeValue( args, i, "--timeout", value ) )
		{
			options.timeout = ParsePositive( "--timeout", value );
			if( options.timeout > 3600.0 )
				throw UsageError( "--timeout expects at most 3600 seconds, got \"" + value + "\"" );
		}
		else if( TakeValue( args, i, "--input", value ) )
		{
			if( value.empty() )
				throw UsageError( "--input needs a PNG file" );
			options.inputs.push_back( value );
		}
		else if( TakeValue( args, i, "--set", value ) )
			options.settings.push_back( ParseSetting( value ) );
		else
			TakePlugin( "serve", arg, options.plugin );
	}
	if( options.plugin.empty() )
		throw UsageError( "serve needs a plug-in file" );
	return options;
}

std::string ServeUsage()
{
	return "usage: plughost serve PLUGIN.so [options]\n"
		   "\n"
		   "Serves a live preview of the plug-in to a web browser: the frame at the\n"
		   "served rate, a control for each parameter, the plug-in's output and errors.\n"
		   "When the file changes (a rebuild) the plug-in is reloaded and the page\n"
		   "follows. The plug-in runs in a worker process: a crash or a hang is shown\n"
		   "on the page and the server carries on. Ctrl-C stops it.\n"
		   "\n"
		   "options:\n"
		   "  --port N            the port (default 8080; 0 picks a free one)\n"
		   "  --bind ADDR         the address to listen on (default 127.0.0.1; other\n"
		   "                      machines can reach 0.0.0.0 - there is no password)\n"
		   "  --size WxH          frame size (default 640x360)\n"
		   "  --fps N             frames per second while playing (default 30)\n"
		   "  --input FILE.png    an input picture; repeatable. Effects and mixers\n"
		   "                      without one get generated test patterns\n"
		   "  --set NAME=VALUE    set a parameter at the start, as in render; repeatable\n"
		   "  --timeout S         seconds a frame or a parameter change may take before\n"
		   "                      the plug-in counts as hung (default 10)\n"
		   "\n"
		   "The page and its JSON API are described in docs/serve.md.\n";
}
}// namespace plughost::cli::serve
