// Costs of the clock, each beside a baseline measured in the same run:
//  - a face frame vs a trivial full-viewport pass of the same size,
//  - the CPU cost of a frame at a tiny viewport vs a bare bind-and-draw,
//  - rasterising the glyph set vs zero-filling the same bytes,
//  - one instantiation.
// Prints the ratios after the usual table.
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

namespace
{
plughost::GLContext& Context()
{
	static plughost::GLContext context;
	return context;
}

plughost::PluginLibrary& Clock()
{
	Context();
	static plughost::PluginLibrary library( std::string( FFGL_PLUGIN_DIR ) + "/VavoRozar.so" );
	if( !library.Initialised() )
		library.Initialise();
	return library;
}

const char* const trivialVertex_ = R"(#version 410 core
layout( location = 0 ) in vec4 vPosition;
layout( location = 1 ) in vec2 vUV;
out vec2 uv;
void main() { gl_Position = vPosition; uv = vUV; }
)";
const char* const trivialFragment_ = R"(#version 410 core
in vec2 uv;
out vec4 fragColor;
void main() { fragColor = vec4( uv, 0.5, 1.0 ); }
)";

// A constant-colour full-viewport pass: the floor any full-screen draw pays.
struct TrivialPass
{
	ffglex::FFGLShader shader;
	ffglex::FFGLScreenQuad quad;
	TrivialPass()
	{
		shader.Compile( trivialVertex_, trivialFragment_ );
		quad.Initialise( false );
	}
	~TrivialPass()
	{
		shader.FreeGLResources();
		quad.Release();
	}
	void Draw()
	{
		ffglex::ScopedShaderBinding binding( shader.GetGLID() );
		quad.Draw();
	}
};

void FaceFrame( benchmark::State& state, int display )
{
	const auto w = static_cast< uint32_t >( state.range( 0 ) ), h = static_cast< uint32_t >( state.range( 1 ) );
	plughost::Instance instance( Clock(), w, h );
	instance.SetFloat( 0, static_cast< float >( display ) );
	plughost::RenderTarget target( w, h );
	plughost::RenderFrame( instance, target );// glyph set rebuilt here, not timed
	for( auto _ : state )
		plughost::RenderFrame( instance, target, {}, { false } );
}

void BM_AnalogFrame( benchmark::State& state ) { FaceFrame( state, 1 ); }
void BM_DigitalFrame( benchmark::State& state ) { FaceFrame( state, 3 ); }

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

#define FRAME_SIZES ->Args( { 640, 360 } )->Args( { 1280, 720 } )->Args( { 1920, 1080 } )->Unit( benchmark::kMillisecond )
BENCHMARK( BM_AnalogFrame ) FRAME_SIZES;
BENCHMARK( BM_DigitalFrame ) FRAME_SIZES;
BENCHMARK( BM_TrivialPass ) FRAME_SIZES;

// CPU side of a frame: an 8 x 8 viewport makes the pixel work negligible.
void BM_TinyFrame( benchmark::State& state )
{
	plughost::Instance instance( Clock(), 8, 8 );
	instance.SetFloat( 0, static_cast< float >( state.range( 0 ) ) );
	plughost::RenderTarget target( 8, 8 );
	plughost::RenderFrame( instance, target );
	for( auto _ : state )
		plughost::RenderFrame( instance, target, {}, { false } );
}
BENCHMARK( BM_TinyFrame )->Arg( 1 )->Arg( 3 )->Unit( benchmark::kMicrosecond );

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

// Instantiate (code 18: compile, quad, glyph set) and de-instantiate.
void BM_Instantiate( benchmark::State& state )
{
	Clock();
	for( auto _ : state )
	{
		plughost::Instance instance( Clock(), 640, 360 );
		benchmark::DoNotOptimize( instance.Handle() );
	}
}
BENCHMARK( BM_Instantiate )->Unit( benchmark::kMillisecond );

// Keeps each run's time per iteration so the ratios can be printed.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
	std::map< std::string, double > seconds;   // wall time per iteration
	std::map< std::string, double > cpuSeconds;// this thread's CPU time per iteration
	void ReportRuns( const std::vector< Run >& runs ) override
	{
		for( const Run& run : runs )
			if( run.run_type == Run::RT_Iteration && run.iterations > 0 )
			{
				seconds[ run.benchmark_name() ]    = run.real_accumulated_time / static_cast< double >( run.iterations );
				cpuSeconds[ run.benchmark_name() ] = run.cpu_accumulated_time / static_cast< double >( run.iterations );
			}
		ConsoleReporter::ReportRuns( runs );
	}
	void Ratio( const std::string& label, const std::string& a, const std::string& b, bool cpu = false ) const
	{
		const auto& table = cpu ? cpuSeconds : seconds;
		const auto x = table.find( a ), y = table.find( b );
		if( x == table.end() || y == table.end() || y->second <= 0.0 )
			return;
		std::printf( "  %-40s %8.2fx  (%.4g ms / %.4g ms)\n", label.c_str(), x->second / y->second, x->second * 1e3,
		             y->second * 1e3 );
	}
};
}// namespace

int main( int argc, char** argv )
{
	benchmark::Initialize( &argc, argv );
	RatioReporter reporter;
	benchmark::RunSpecifiedBenchmarks( &reporter );

	std::printf( "\nRatios (same run):\n" );
	for( const char* size : { "640/360", "1280/720", "1920/1080" } )
	{
		const std::string s( size );
		reporter.Ratio( "analog frame / trivial pass " + s, "BM_AnalogFrame/" + s, "BM_TrivialPass/" + s );
		reporter.Ratio( "digital frame / trivial pass " + s, "BM_DigitalFrame/" + s, "BM_TrivialPass/" + s );
	}
	// At 8 x 8 the driver's pixel work is nil: compare the calling thread's
	// CPU time, not the wait for the driver's threads.
	reporter.Ratio( "tiny analog frame / bare draw (CPU)", "BM_TinyFrame/1", "BM_TinyBareDraw", true );
	reporter.Ratio( "tiny digital frame / bare draw (CPU)", "BM_TinyFrame/3", "BM_TinyBareDraw", true );
	for( const char* width : { "0", "1280", "2246" } )
	{
		const std::string w( width );
		reporter.Ratio( "glyph set / zero fill, viewport width " + w, "BM_RasteriseGlyphSet/" + w,
		                "BM_ZeroFillGlyphBytes/" + w );
	}
	const auto inst = reporter.seconds.find( "BM_Instantiate" );
	if( inst != reporter.seconds.end() )
		std::printf( "  %-40s %8.3f ms\n", "one instantiation", inst->second * 1e3 );
	return 0;
}
