#include "BenchMeasure.h"

#include "common/PluginSetup.h"

#include <memory>
#include <optional>

namespace plughost::cli
{
namespace
{
void Check( uint32_t result, const BenchPlan& plan, uint32_t frame )
{
	if( result != FF_SUCCESS )
		throw Failure{ plan.library->Path() + ": the plug-in failed to render frame " + std::to_string( frame ) };
}
}// namespace

SizeResult MeasureSize( const BenchPlan& plan, uint32_t width, uint32_t height, const std::vector< const InputTexture* >& inputs )
{
	SizeResult result;
	result.width  = width;
	result.height = height;

	std::vector< double > instantiations;
	for( int i = 0; i < kInstantiations; ++i )
	{
		{
			std::optional< Instance > made;
			instantiations.push_back( TimeThroughFinish( [ & ] { made.emplace( *plan.library, width, height ); } ).wallSeconds );
		}
		FinishGL();// the destruction's GL work stays out of the next timing
	}
	result.instantiate = SpreadOf( instantiations );

	std::vector< FFGLTextureStruct > textures;
	for( const InputTexture* input : inputs )
		textures.push_back( input->Texture() );
	RenderTarget target( width, height );
	const TrivialPass trivial;
	Instance instance( *plan.library, width, height );
	ApplySettings( instance, plan.settings );
	target.Clear();
	FinishGL();

	// The host time a frame carries: a steady 60 frames per second.
	uint32_t frameNumber = 0;
	auto pluginFrame = [ & ]() {
		if( plan.sendTime )
			instance.SetTime( frameNumber / 60.0 );
		target.Bind();
		uint32_t answer = FF_FAIL;
		const FrameTime time = TimeThroughFinish( [ & ] { answer = instance.ProcessFrame( textures ); } );
		Check( answer, plan, frameNumber++ );
		return time;
	};
	auto trivialFrame = [ & ]() {
		target.Bind();
		return TimeThroughFinish( [ & ] { trivial.Draw(); } );
	};

	result.firstFrame = pluginFrame().wallSeconds;
	for( uint32_t i = 0; i < plan.warmup; ++i )
	{
		pluginFrame();
		trivialFrame();
	}
	// Interleaved, and in alternating order, so that a busy moment of the
	// machine or a cache left warm by one pass falls on both alike.
	std::vector< double > wall, cpu, trivialWall, trivialCpu;
	for( uint32_t i = 0; i < plan.frames; ++i )
	{
		FrameTime plugin, pass;
		if( i % 2 == 0 )
		{
			plugin = pluginFrame();
			pass   = trivialFrame();
		}
		else
		{
			pass   = trivialFrame();
			plugin = pluginFrame();
		}
		wall.push_back( plugin.wallSeconds );
		cpu.push_back( plugin.cpuSeconds );
		trivialWall.push_back( pass.wallSeconds );
		trivialCpu.push_back( pass.cpuSeconds );
	}
	result.wall        = SpreadOf( wall );
	result.cpu         = SpreadOf( cpu );
	result.trivialWall = SpreadOf( trivialWall );
	result.trivialCpu  = SpreadOf( trivialCpu );
	return result;
}
}// namespace plughost::cli
