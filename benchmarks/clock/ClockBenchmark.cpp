// Costs of the clock, each beside a baseline measured in the same run:
//  - a frame of each display type vs a trivial full-viewport pass of the same
//    size, with the defaults, with Show Seconds off, with the transparent
//    background and at Scale 1,
//  - the CPU cost of a frame at a tiny viewport vs a bare bind-and-draw,
//  - rasterising the glyph set vs zero-filling the same bytes,
//  - one instantiation vs compiling the two face programs alone.
// Prints the ratios after the usual table. With --baseline=<VavoRozar.so of
// an earlier build> that build's frames, tiny frames and instantiation are
// timed too, interleaved with these when
// --benchmark_enable_random_interleaving=true, so both face the same load. Frame ratios come twice: by wall time, and by the CPU time of
// the whole process (the renderer's threads included), which other work on
// the machine disturbs far less.
#include <benchmark/benchmark.h>

#include <FFGLSDK.h>
#include <PlugHost.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DigitGlyphs.h"
#include "Shaders.h"

namespace
{
plughost::GLContext& Context()
{
	static plughost::GLContext context;
	return context;
}

// This build's clock, or (`baseline` set) the one build given with
// --baseline. Each is made in place as a static of its own, so it is
// unloaded before the host library's own statics go.
std::string baseline_;
plughost::PluginLibrary& Clock( bool baseline = false )
{
	Context();
	auto ready = []( plughost::PluginLibrary& library ) -> plughost::PluginLibrary& {
		if( !library.Initialised() )
			library.Initialise();
		return library;
	};
	if( baseline )
	{
		static plughost::PluginLibrary library( baseline_ );
		return ready( library );
	}
	static plughost::PluginLibrary library( std::string( FFGL_PLUGIN_DIR ) + "/VavoRozar.so" );
	return ready( library );
}

// A full-viewport pass writing its texture coordinate: the floor any
// full-screen draw pays. The same pass `plughost bench` times beside a plug-in.
using plughost::TrivialPass;

// Display types 0 to 3; variants: the defaults, then one parameter changed.
const char* const displayNames_[ 4 ] = { "Analog", "Analog (Smooth)", "Digital 12h", "Digital 24h" };
enum Variant { Defaults, SecondsOff, Transparent, ScaleOne, kVariants };
const char* const variantNames_[ kVariants ] = { "defaults", "seconds off", "transparent", "Scale 1" };

// Args: width, height, display type, variant.
void Frame( benchmark::State& state, bool baseline )
{
	const auto w = static_cast< uint32_t >( state.range( 0 ) ), h = static_cast< uint32_t >( state.range( 1 ) );
	plughost::Instance instance( Clock( baseline ), w, h );
	instance.SetFloat( 0, static_cast< float >( state.range( 2 ) ) );
	switch( state.range( 3 ) )
	{
	case SecondsOff: instance.SetFloat( 1, 0.0f ); break;
	case Transparent: instance.SetFloat( 11, 0.0f ); break;
	case ScaleOne: instance.SetFloat( 2, 1.0f ); break;
	}
	plughost::RenderTarget target( w, h );
	plughost::RenderFrame( instance, target );// glyph set rebuilt here, not timed
	for( auto _ : state )
		plughost::RenderFrame( instance, target, {}, { false } );
}

void FrameArgs( benchmark::internal::Benchmark* b )
{
	for( auto [ w, h ] : { std::pair{ 640, 360 }, { 1280, 720 }, { 1920, 1080 } } )
		for( int display = 0; display < 4; ++display )
			for( int variant = 0; variant < kVariants; ++variant )
				b->Args( { w, h, display, variant } );
	b->Unit( benchmark::kMillisecond )->MeasureProcessCPUTime()->UseRealTime();
}

void BM_TrivialPass( benchmark::State& state )
{
	const auto w = static_cast< uint32_t >( state.range( 0 ) ), h = static_cast< uint32_t >( state.range( 1 ) );
	Context();
	plughost::RenderTarget target( w, h );
	TrivialPass pass;
	target.Bind();
	for( auto _ : state )
	{
		target.Bind();
		pass.Draw();
		glFinish();
	}
}

BENCHMARK( BM_TrivialPass )
	->Args( { 640, 360 } )
	->Args( { 1280, 720 } )
	->Args( { 1920, 1080 } )
	->Unit( benchmark::kMillisecond )
	->MeasureProcessCPUTime()
	->UseRealTime();

// CPU side of a frame: an 8 x 8 viewport makes the pixel work negligible.
void TinyFrame( benchmark::State& state, bool baseline )
{
	plughost::Instance instance( Clock( baseline ), 8, 8 );
	instance.SetFloat( 0, static_cast< float >( state.range( 0 ) ) );
	plughost::RenderTarget target( 8, 8 );
	plughost::RenderFrame( instance, target );
	for( auto _ : state )
		plughost::RenderFrame( instance, target, {}, { false } );
}

void BM_TinyBareDraw( benchmark::State& state )
{
	Context();
	plughost::RenderTarget target( 8, 8 );
	TrivialPass pass;
	for( auto _ : state )
	{
		target.Bind();
		pass.Draw();
		glFinish();
	}
}
BENCHMARK( BM_TinyBareDraw )->Unit( benchmark::kMicrosecond );

// Viewport widths whose glyph sets are 65 x 131, 291 x 583 and 513 x 1027.
#define GLYPH_WIDTHS ->Arg( 0 )->Arg( 1280 )->Arg( 2246 )->Unit( benchmark::kMicrosecond )

void BM_RasteriseGlyphSet( benchmark::State& state )
{
	const auto size = clockglyphs::ComputeGlyphSize( static_cast< uint32_t >( state.range( 0 ) ), 512 );
	const size_t bytes = static_cast< size_t >( size.width ) * size.height;
	std::unique_ptr< unsigned char[] > buffer( new unsigned char[ bytes ] );
	for( auto _ : state )
	{
		// The whole set as the clock builds it: geometry once, then each
		// glyph cleared and painted.
		const clockglyphs::GlyphSetRasteriser rasteriser( size.width, size.height );
		for( int glyph = 0; glyph < clockglyphs::kGlyphCount; ++glyph )
		{
			std::memset( buffer.get(), 0, bytes );
			rasteriser.Rasterise( buffer.get(), glyph );
			benchmark::DoNotOptimize( buffer.get() );
			benchmark::ClobberMemory();
		}
	}
	state.SetBytesProcessed( static_cast< int64_t >( state.iterations() * bytes * clockglyphs::kGlyphCount ) );
	state.SetLabel( std::to_string( size.width ) + "x" + std::to_string( size.height ) );
}
BENCHMARK( BM_RasteriseGlyphSet ) GLYPH_WIDTHS;

void BM_ZeroFillGlyphBytes( benchmark::State& state )
{
	const auto size = clockglyphs::ComputeGlyphSize( static_cast< uint32_t >( state.range( 0 ) ), 512 );
	const size_t bytes = static_cast< size_t >( size.width ) * size.height;
	std::unique_ptr< unsigned char[] > buffer( new unsigned char[ bytes ] );
	for( auto _ : state )
		for( int glyph = 0; glyph < clockglyphs::kGlyphCount; ++glyph )
		{
			std::memset( buffer.get(), 0, bytes );
			benchmark::DoNotOptimize( buffer.get() );
			benchmark::ClobberMemory();
		}
	state.SetBytesProcessed( static_cast< int64_t >( state.iterations() * bytes * clockglyphs::kGlyphCount ) );
	state.SetLabel( std::to_string( size.width ) + "x" + std::to_string( size.height ) );
}
BENCHMARK( BM_ZeroFillGlyphBytes ) GLYPH_WIDTHS;

// Instantiate (code 18: compile, quad, cover buffer, glyph set) and
// de-instantiate, beside compiling and freeing the two face programs alone.
void Instantiate( benchmark::State& state, bool baseline )
{
	Clock( baseline );
	for( auto _ : state )
	{
		plughost::Instance instance( Clock( baseline ), 640, 360 );
		benchmark::DoNotOptimize( instance.Handle() );
	}
}

void BM_CompileFacePrograms( benchmark::State& state )
{
	Context();
	for( auto _ : state )
	{
		ffglex::FFGLShader analog, digital;
		benchmark::DoNotOptimize( analog.Compile( vertexShaderCode_, analogFragmentShaderCode_ ) );
		benchmark::DoNotOptimize( digital.Compile( vertexShaderCode_, digitalFragmentShaderCode_ ) );
		analog.FreeGLResources();
		digital.FreeGLResources();
	}
}
BENCHMARK( BM_CompileFacePrograms )->Unit( benchmark::kMillisecond );

// Keeps each run's time per iteration so the ratios can be printed.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
	// Per iteration, the least over repetitions (--benchmark_repetitions,
	// best with --benchmark_enable_random_interleaving): other work on the
	// machine only ever adds time.
	std::map< std::string, double > seconds;   // wall time
	std::map< std::string, double > cpuSeconds;// this thread's CPU time
	void ReportRuns( const std::vector< Run >& runs ) override
	{
		for( const Run& run : runs )
			if( run.run_type == Run::RT_Iteration && run.iterations > 0 )
			{
				Keep( seconds, run.benchmark_name(), run.real_accumulated_time / static_cast< double >( run.iterations ) );
				Keep( cpuSeconds, run.benchmark_name(), run.cpu_accumulated_time / static_cast< double >( run.iterations ) );
			}
		ConsoleReporter::ReportRuns( runs );
	}
	static void Keep( std::map< std::string, double >& table, const std::string& name, double value )
	{
		const auto found = table.find( name );
		if( found == table.end() || value < found->second )
			table[ name ] = value;
	}
	void Ratio( const std::string& label, const std::string& a, const std::string& b, bool cpu = false ) const
	{
		const double r = Of( a, b, cpu );
		if( r > 0.0 )
			std::printf( "  %-44s %8.2fx  (%.4g ms / %.4g ms)\n", label.c_str(), r, Time( a, cpu ) * 1e3, Time( b, cpu ) * 1e3 );
	}
	// a / b, or 0 when either is missing.
	double Of( const std::string& a, const std::string& b, bool cpu = false ) const
	{
		const double x = Time( a, cpu ), y = Time( b, cpu );
		return x > 0.0 && y > 0.0 ? x / y : 0.0;
	}
	double Time( const std::string& name, bool cpu = false ) const
	{
		const auto& table = cpu ? cpuSeconds : seconds;
		const auto found  = table.find( name );
		return found == table.end() ? 0.0 : found->second;
	}
};

// Frame / trivial pass for every type, variant and size, then the variants
// against the defaults; `prefix` names the build's frames.
void PrintFrameRatios( const RatioReporter& reporter, const std::string& title, const std::string& prefix, bool cpu )
{
	const char* const sizes[ 3 ] = { "640/360", "1280/720", "1920/1080" };
	auto frame = [ & ]( const char* size, int display, int variant ) {
		return prefix + "/" + size + "/" + std::to_string( display ) + "/" + std::to_string( variant ) + "/process_time/real_time";
	};
	auto trivial = []( const char* size ) { return "BM_TrivialPass/" + std::string( size ) + "/process_time/real_time"; };
	auto row = [ & ]( const std::string& label, auto ratio ) {
		std::printf( "  %-44s", label.c_str() );
		for( const char* size : sizes )
			std::printf( " %9.2fx", ratio( size ) );
		std::printf( "\n" );
	};
	if( reporter.Time( frame( sizes[ 0 ], 0, Defaults ) ) <= 0.0 )
		return;
	std::printf( "  %-44s %10s %10s %10s\n", ( title + ( cpu ? ", process CPU" : ", wall" ) ).c_str(), "640x360", "1280x720", "1920x1080" );
	for( int display = 0; display < 4; ++display )
		for( int variant = 0; variant < kVariants; ++variant )
			row( std::string( displayNames_[ display ] ) + ", " + variantNames_[ variant ] + " / trivial",
				 [ & ]( const char* size ) { return reporter.Of( frame( size, display, variant ), trivial( size ), cpu ); } );
	for( int display = 0; display < 4; ++display )
		for( int variant : { SecondsOff, Transparent } )
			row( std::string( displayNames_[ display ] ) + ", " + variantNames_[ variant ] + " / defaults", [ & ]( const char* size ) {
				return reporter.Of( frame( size, display, variant ), frame( size, display, Defaults ), cpu );
			} );
}
}// namespace

int main( int argc, char** argv )
{
	benchmark::Initialize( &argc, argv );
	for( int i = 1; i < argc; ++i )
		if( std::strncmp( argv[ i ], "--baseline=", 11 ) == 0 )
			baseline_ = argv[ i ] + 11;
		else
		{
			std::fprintf( stderr, "unknown argument %s (besides the benchmark library's, only --baseline=<VavoRozar.so>)\n", argv[ i ] );
			return 2;
		}
	for( bool baseline : { false, true } )
	{
		if( baseline && baseline_.empty() )
			break;
		const std::string prefix = baseline ? "BM_Baseline" : "BM_";
		benchmark::RegisterBenchmark( ( prefix + "Frame" ).c_str(), Frame, baseline )->Apply( FrameArgs );
		benchmark::RegisterBenchmark( ( prefix + "TinyFrame" ).c_str(), TinyFrame, baseline )->Arg( 1 )->Arg( 3 )->Unit( benchmark::kMicrosecond );
		benchmark::RegisterBenchmark( ( prefix + "Instantiate" ).c_str(), Instantiate, baseline )->Unit( benchmark::kMillisecond );
	}
	RatioReporter reporter;
	benchmark::RunSpecifiedBenchmarks( &reporter );

	std::printf( "\nRatios (same run):\n" );
	for( bool cpu : { false, true } )
	{
		PrintFrameRatios( reporter, "this build", "BM_Frame", cpu );
		PrintFrameRatios( reporter, "baseline", "BM_BaselineFrame", cpu );
	}
	// At 8 x 8 the driver's pixel work is nil: compare the calling thread's
	// CPU time, not the wait for the driver's threads.
	for( const char* build : { "", "Baseline" } )
	{
		const std::string prefix = std::string( "BM_" ) + build, label = *build ? "baseline " : "";
		reporter.Ratio( label + "tiny analog frame / bare draw (CPU)", prefix + "TinyFrame/1", "BM_TinyBareDraw", true );
		reporter.Ratio( label + "tiny digital frame / bare draw (CPU)", prefix + "TinyFrame/3", "BM_TinyBareDraw", true );
		reporter.Ratio( label + "instantiation / compiling the programs", prefix + "Instantiate", "BM_CompileFacePrograms" );
	}
	for( const char* width : { "0", "1280", "2246" } )
	{
		const std::string w( width );
		reporter.Ratio( "glyph set / zero fill, viewport width " + w, "BM_RasteriseGlyphSet/" + w,
		                "BM_ZeroFillGlyphBytes/" + w );
	}
	return 0;
}
