// The frei0r bridge's cost over the plug-in's own frame, with no host
// around it: the clock's frame as `plughost bench` times it (code 17 through
// glFinish, on a context of this process) against f0r_update of the clock's
// module (made as `plughost frei0r` makes it, loaded with dlopen as a host
// loads it) at the same size, interleaved in one run
// (--benchmark_enable_random_interleaving=true). Prints the ratios after the
// table; run.sh measures the same inside ffmpeg.
//
// The third argument, when 1, has a stand-in host copy a frame's worth of
// memory twice between frames, untimed, as ffmpeg does with each frame (into
// a packet and out): a host that touches memory between frames leaves the
// renderer's caches colder, which slows the plug-in's own frame as much as
// the bridge's, and a comparison with an idle host misses that.
#include <benchmark/benchmark.h>

#include <RepetitionTimes.h>

#include <Cli.h>
#include <PlugHost.h>

#include <frei0r.h>

#include <GL/glcorearb.h>
#include <dlfcn.h>

#include <cstring>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

namespace
{
const std::string kClock = std::string( FFGL_PLUGIN_DIR ) + "/VavoRozar.so";

plughost::GLContext& Context()
{
	static plughost::GLContext context;
	return context;
}

plughost::PluginLibrary& Library()
{
	static std::unique_ptr< plughost::PluginLibrary > library = [] {
		Context();
		auto loaded = std::make_unique< plughost::PluginLibrary >( kClock );
		loaded->Initialise();
		return loaded;
	}();
	return *library;
}

struct Module
{
	void* handle = nullptr;
	f0r_instance_t ( *construct )( unsigned, unsigned )                    = nullptr;
	void ( *destruct )( f0r_instance_t )                                   = nullptr;
	void ( *update )( f0r_instance_t, double, const uint32_t*, uint32_t* ) = nullptr;
};

const std::filesystem::path kDir = std::filesystem::temp_directory_path() / "frei0r-bridge-benchmark";

Module& Bridge()
{
	static Module module = [] {
		Module made;
		std::ostringstream output, errors;
		if( plughost::cli::RunCli( { "frei0r", kClock, "--dir", kDir.string() }, output, errors ) != 0 )
		{
			std::fprintf( stderr, "%s", errors.str().c_str() );
			return made;
		}
		made.handle = dlopen( ( kDir / "vavo_rozar.so" ).c_str(), RTLD_NOW | RTLD_LOCAL );
		if( made.handle == nullptr )
			return made;
		reinterpret_cast< int ( * )() >( dlsym( made.handle, "f0r_init" ) )();
		made.construct = reinterpret_cast< decltype( made.construct ) >( dlsym( made.handle, "f0r_construct" ) );
		made.destruct  = reinterpret_cast< decltype( made.destruct ) >( dlsym( made.handle, "f0r_destruct" ) );
		made.update    = reinterpret_cast< decltype( made.update ) >( dlsym( made.handle, "f0r_update" ) );
		return made;
	}();
	return module;
}

// A host's own work between frames, when the benchmark's third argument is 1.
class HostWork
{
public:
	HostWork( const benchmark::State& state )
		: copies( state.range( 2 ) != 0 ),
		  from( copies ? static_cast< std::size_t >( state.range( 0 ) ) * state.range( 1 ) * 4 : 0, 1 ), to( from.size() )
	{
	}
	void Between( benchmark::State& state )
	{
		if( !copies )
			return;
		state.PauseTiming();
		std::memcpy( to.data(), from.data(), from.size() );
		std::memcpy( from.data(), to.data(), to.size() );
		state.ResumeTiming();
	}

private:
	bool copies;
	std::vector< uint8_t > from, to;
};

void PluginFrame( benchmark::State& state )
{
	const auto w = static_cast< uint32_t >( state.range( 0 ) ), h = static_cast< uint32_t >( state.range( 1 ) );
	Context().MakeCurrent();
	plughost::Instance instance( Library(), w, h );
	plughost::RenderTarget target( w, h );
	target.Clear();
	glFinish();
	HostWork host( state );
	for( auto _ : state )
	{
		host.Between( state );
		target.Bind();
		instance.ProcessFrame( {} );
		glFinish();
	}
}

void BridgeUpdate( benchmark::State& state )
{
	const auto w = static_cast< unsigned >( state.range( 0 ) ), h = static_cast< unsigned >( state.range( 1 ) );
	Module& module = Bridge();
	f0r_instance_t instance = module.handle ? module.construct( w, h ) : nullptr;
	if( instance == nullptr )
	{
		state.SkipWithError( "the clock's frei0r module did not load" );
		return;
	}
	std::vector< uint32_t > frame( static_cast< std::size_t >( w ) * h );
	double time = 0.0;
	module.update( instance, time, nullptr, frame.data() );// GL set-up
	HostWork host( state );
	for( auto _ : state )
	{
		host.Between( state );
		module.update( instance, time += 1.0 / 30.0, nullptr, frame.data() );
	}
	module.destruct( instance );
}

// "PluginFrame" or "BridgeUpdate", then the arguments.
std::string FunctionAndSize( const benchmark::BenchmarkReporter::Run& run )
{
	return run.run_name.function_name + " " + run.run_name.args;
}
}// namespace

// Width, height, and whether a host copies a frame between frames.
void Sizes( benchmark::internal::Benchmark* benchmark )
{
	for( const int64_t copies : { 0, 1 } )
		benchmark->Args( { 1280, 720, copies } )->Args( { 1920, 1080, copies } );
	benchmark->ArgNames( { "w", "h", "host_copies" } )->Unit( benchmark::kMicrosecond )->UseRealTime();
}
BENCHMARK( PluginFrame )->Apply( Sizes );
BENCHMARK( BridgeUpdate )->Apply( Sizes );

int main( int argc, char** argv )
{
	benchmark::Initialize( &argc, argv );
	benchtools::RepetitionTimes collector( FunctionAndSize );
	benchmark::RunSpecifiedBenchmarks( &collector );
	std::printf( "\n" );
	const std::string own = "PluginFrame ";
	for( const auto& [ key, times ] : collector.times )
	{
		if( key.compare( 0, own.size(), own ) != 0 )
			continue;
		const std::string size = key.substr( own.size() );
		const auto bridged     = collector.times.find( "BridgeUpdate " + size );
		if( bridged == collector.times.end() )
			continue;
		std::printf( "f0r_update / plug-in's own frame at %s: %.3f by medians (target <= 1.3)\n", size.c_str(),
					 benchtools::Median( bridged->second ) / benchtools::Median( times ) );
	}
	if( Bridge().handle != nullptr )
		reinterpret_cast< void ( * )() >( dlsym( Bridge().handle, "f0r_deinit" ) )();
	std::filesystem::remove_all( kDir );
	return 0;
}
