// The preview server's frame rate for the clock at 640x360, beside the rate
// at which the same frames render directly (what `plughost bench` times:
// code 17 through glFinish), in the same run:
//  - BM_DirectFrame: one Analog (Smooth) frame rendered in this process;
//  - BM_ServedFrame/1000: a client, as the page does, asks for each next
//    frame of a server at --fps 1000 and receives its PNG;
//  - BM_ServedFrame/30: the same at the default --fps 30.
// Prints frames per second and each served rate over min(direct, --fps).
#include <benchmark/benchmark.h>

#include "PreviewServer.h"

#include <PlugHost.h>

#include <httplib.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace
{
const std::string kClock = std::string( FFGL_PLUGIN_DIR ) + "/VavoRozar.so";

void BM_DirectFrame( benchmark::State& state )
{
	static plughost::GLContext context;
	plughost::PluginLibrary library( kClock );
	library.Initialise();
	{
		plughost::Instance instance( library, 640, 360 );
		instance.SetFloat( 0, 1.0f );// Analog (Smooth): every frame differs
		plughost::RenderTarget target( 640, 360 );
		plughost::RenderFrame( instance, target );
		for( auto _ : state )
			plughost::RenderFrame( instance, target );
	}
}
BENCHMARK( BM_DirectFrame )->Unit( benchmark::kMillisecond )->UseRealTime()->MinTime( 3.0 );

void BM_ServedFrame( benchmark::State& state )
{
	plughost::cli::serve::ServeOptions options;
	options.plugin   = kClock;
	options.port     = 0;
	options.fps      = static_cast< double >( state.range( 0 ) );
	options.settings = { { "Display Type", "Analog (Smooth)" } };
	std::ostringstream err;
	plughost::cli::serve::PreviewServer server( options, { PLUGHOST_TOOL, "serve", "--worker" } );
	server.Start( err );
	httplib::Client client( "127.0.0.1", server.Port() );
	client.set_keep_alive( true );
	std::string last = "0";
	for( auto _ : state )
	{
		const auto answer = client.Get( ( "/api/frame.png?after=" + last ).c_str() );
		if( !answer || answer->status != 200 || answer->body.empty() )
		{
			state.SkipWithError( "no frame" );
			break;
		}
		last = answer->get_header_value( "X-Frame" );
	}
	server.Stop();
}
BENCHMARK( BM_ServedFrame )->Arg( 1000 )->Arg( 30 )->Unit( benchmark::kMillisecond )->UseRealTime()->MinTime( 3.0 );

class RateReporter : public benchmark::ConsoleReporter
{
public:
	std::map< std::string, double > fps;
	void ReportRuns( const std::vector< Run >& runs ) override
	{
		for( const Run& run : runs )
			if( run.run_type == Run::RT_Iteration && run.iterations > 0 && run.real_accumulated_time > 0.0 )
				fps[ run.run_name.function_name + ( run.run_name.args.empty() ? "" : "/" + run.run_name.args ) ] =
					static_cast< double >( run.iterations ) / run.real_accumulated_time;
		ConsoleReporter::ReportRuns( runs );
	}
};
}// namespace

int main( int argc, char** argv )
{
	benchmark::Initialize( &argc, argv );
	RateReporter reporter;
	benchmark::RunSpecifiedBenchmarks( &reporter );
	const double direct = reporter.fps[ "BM_DirectFrame" ];
	std::printf( "\nFrames per second at 640x360 (same run):\n  %-28s %8.1f\n", "rendered directly", direct );
	for( const double target : { 1000.0, 30.0 } )
	{
		const std::string name = "BM_ServedFrame/" + std::to_string( static_cast< int >( target ) );
		const double served    = reporter.fps[ name ];
		const double bound     = std::min( direct, target );
		std::printf( "  served at --fps %-12g %8.1f  = %.2f of min(direct, --fps) = %.1f\n", target, served,
					 bound > 0.0 ? served / bound : 0.0, bound );
	}
	return 0;
}
