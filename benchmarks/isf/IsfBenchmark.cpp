// ISF plug-ins against the same shader by hand:
//  - a frame of RippleRings made from RippleRings.fs vs RingsByHand, a
//    quick-start plug-in with the same shader, same size, interleaved in one
//    run (--benchmark_enable_random_interleaving=true), every frame ended
//    with glFinish;
//  - `plughost isf` making a plug-in from a file, start to end of the
//    command (GL context and shader compile included).
// Prints the frame ratio and the time per file after the table.
#include <benchmark/benchmark.h>

#include <RepetitionTimes.h>

#include <Cli.h>
#include <PlugHost.h>

#include <GL/glcorearb.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

namespace
{
plughost::GLContext& Context()
{
	static plughost::GLContext context;
	return context;
}

// Unloaded at the end of main, while the context still exists.
std::map< std::string, std::unique_ptr< plughost::PluginLibrary > > libraries_;

plughost::PluginLibrary& Library( const std::string& name )
{
	Context();
	auto& library = libraries_[ name ];
	if( !library )
	{
		library = std::make_unique< plughost::PluginLibrary >( std::string( FFGL_PLUGIN_DIR ) + "/" + name + ".so" );
		library->Initialise();
	}
	return *library;
}

std::map< std::string, double > perFrame_;

void Frame( benchmark::State& state, const std::string& name )
{
	const auto w = static_cast< uint32_t >( state.range( 0 ) ), h = static_cast< uint32_t >( state.range( 1 ) );
	// `plughost isf` makes and drops a context of its own between runs.
	Context().MakeCurrent();
	plughost::Instance instance( Library( name ), w, h );
	plughost::RenderTarget target( w, h );
	double time = 0.0;
	plughost::RenderFrame( instance, target );
	glFinish();
	for( auto _ : state )
	{
		instance.SetTime( time += 1.0 / 60.0 );
		plughost::RenderFrame( instance, target );
		glFinish();
	}
}

void IsfFile( benchmark::State& state )
{
	const std::string out = ( std::filesystem::temp_directory_path() / "isf-benchmark" ).string();
	const std::vector< std::string > args = { "isf", std::string( FFGL_SOURCE_DIR ) + "/isf/examples/EchoTrail.fs", "--out", out, "--shell", ISF_SHELL };
	for( auto _ : state )
	{
		std::ostringstream output, errors;
		if( plughost::cli::RunCli( args, output, errors ) != 0 )
			state.SkipWithError( errors.str().c_str() );
	}
	std::filesystem::remove_all( out );
}

// Which of the three a run is.
std::string Kind( const benchmark::BenchmarkReporter::Run& run )
{
	const std::string name = run.benchmark_name();
	return name.find( "Frame/isf" ) == 0 ? "isf" : name.find( "Frame/by_hand" ) == 0 ? "hand" : "file";
}
}// namespace

BENCHMARK_CAPTURE( Frame, isf, std::string( "RippleRings" ) )->Args( { 1280, 720 } )->Unit( benchmark::kMicrosecond )->UseRealTime();
BENCHMARK_CAPTURE( Frame, by_hand, std::string( "RingsByHand" ) )->Args( { 1280, 720 } )->Unit( benchmark::kMicrosecond )->UseRealTime();
BENCHMARK( IsfFile )->Unit( benchmark::kMillisecond )->UseRealTime()->Iterations( 5 );

int main( int argc, char** argv )
{
	benchmark::Initialize( &argc, argv );
	benchtools::RepetitionTimes collector( Kind );
	benchmark::RunSpecifiedBenchmarks( &collector );
	const double isf = benchtools::Median( collector.times[ "isf" ] );
	const double hand = benchtools::Median( collector.times[ "hand" ] );
	if( isf > 0.0 && hand > 0.0 )
	{
		// The fastest repetition of each is the one other work disturbed least.
		const double fastIsf  = *std::min_element( collector.times[ "isf" ].begin(), collector.times[ "isf" ].end() );
		const double fastHand = *std::min_element( collector.times[ "hand" ].begin(), collector.times[ "hand" ].end() );
		std::printf( "\nISF frame / hand-written frame at 1280x720: %.3f by medians, %.3f by fastest repetitions (target <= 1.1)\n",
					 isf / hand, fastIsf / fastHand );
	}
	const double file = benchtools::Median( collector.times[ "file" ] );
	if( file > 0.0 )
		std::printf( "plughost isf per file: %.0f ms (target < 1000)\n", file );
	std::fflush( stdout );
	Context().MakeCurrent();
	libraries_.clear();
	benchmark::Shutdown();
	return 0;
}
