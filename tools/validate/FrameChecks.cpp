// Code 17 and the GL state a frame leaves behind: the resting bindings, the
// host's framebuffer, pending errors and objects that pile up.
#include "GLState.h"

#include <GLCensus.h>
#include <EntryPointValues.h>

#include <cstdio>
#include <cstring>
#include <functional>

namespace plughost::validate
{
namespace
{
// Runs the requests every frame check looks at: code 18, frames, a resize
// with a frame, code 19; `inspect` is called after each with its name.
using Inspect = std::function< void( const std::string& after, const Stage& stage ) >;

void Requests( Harness& h, uint32_t frames, const Inspect& inspect )
{
	Stage stage( h, 64, 48 );
	inspect( "", stage );
	auto instance = h.Instantiate( 64, 48 );
	inspect( Request( FF_INSTANTIATE_GL ), stage );
	for( uint32_t i = 0; i < frames; ++i )
	{
		if( stage.Frame( *instance ) != FF_SUCCESS )
			h.Abort( Request( FF_PROCESS_OPENGL ) + " answered failure; expected success" );
		inspect( Request( FF_PROCESS_OPENGL ), stage );
	}
	FFGLViewportStruct viewport{ 0, 0, 64, 48 };
	h.CallP( FF_RESIZE, &viewport, instance->Handle(), "to 64x48" );
	inspect( Request( FF_RESIZE ), stage );
	stage.Frame( *instance, "after a resize" );
	inspect( Request( FF_PROCESS_OPENGL ), stage );
	h.Destroy( instance );
	inspect( Request( FF_DEINSTANTIATE_GL ), stage );
}

void Draws( Harness& h )
{
	auto instance = h.Instantiate( 64, 48 );
	Stage stage( h, 64, 48 );
	bool untouched = true;
	for( int k = 0; k < 5; ++k )
	{
		double time = k / 30.0;
		h.CallP( FF_SET_TIME, &time, instance->Handle(), "to " + std::to_string( time ) );
		if( const uint32_t answer = stage.Frame( *instance ); answer != FF_SUCCESS )
			h.Abort( Request( FF_PROCESS_OPENGL ) + " answers " + Answer( answer ) + "; expected success" );
		untouched = untouched && stage.Untouched();
	}
	if( untouched )
		h.Warn( Request( FF_PROCESS_OPENGL ) + " left the host's cleared framebuffer untouched in 5 frames; expected it to draw" );
	h.Destroy( instance );
	h.Passed( "5 frames succeed and draw into the host's framebuffer" );
}

void RestingState( Harness& h )
{
	Findings findings( h );
	Requests( h, 3, [ & ]( const std::string& after, const Stage& ) {
		if( after.empty() )
			return;
		CheckRestingState( findings, after );
		// The next request starts from rest, so each finding names its own.
		Stage::Rest();
	} );
	h.Passed( "program, vertex array, buffers, active unit and 2D textures rest after every request" );
}

void Framebuffer( Harness& h )
{
	Findings findings( h );
	Requests( h, 3, [ & ]( const std::string& after, const Stage& stage ) {
		if( after != Request( FF_PROCESS_OPENGL ) )
			return;
		const GLint host = static_cast< GLint >( stage.Framebuffer() );
		if( !glIsFramebuffer( stage.Framebuffer() ) || !glIsTexture( stage.Texture() ) )
			findings.Fail( "after " + after + ", the host's framebuffer " + std::to_string( host ) + " or its texture " +
						   std::to_string( stage.Texture() ) + " was deleted" );
		for( const auto& input : stage.Inputs() )
			if( !glIsTexture( input->Handle() ) )
				findings.Fail( "after " + after + ", the host's input texture " + std::to_string( input->Handle() ) + " was deleted" );
		CheckHostFramebuffer( findings, after, stage.Framebuffer() );
		GLint now[ 4 ] = {};
		glGetIntegerv( GL_VIEWPORT, now );
		const GLint expected[ 4 ] = { 0, 0, GLint( stage.Width() ), GLint( stage.Height() ) };
		if( std::memcmp( now, expected, sizeof now ) != 0 )
			findings.Warn( "after " + after + ", the viewport is (" + std::to_string( now[ 0 ] ) + ", " + std::to_string( now[ 1 ] ) +
						   ", " + std::to_string( now[ 2 ] ) + ", " + std::to_string( now[ 3 ] ) + "); expected the host's (0, 0, " +
						   std::to_string( expected[ 2 ] ) + ", " + std::to_string( expected[ 3 ] ) + ")" );
	} );
	h.Passed( "the host's framebuffer stays bound for drawing and reading; the viewport is unchanged" );
}

void GLErrors( Harness& h )
{
	Findings findings( h );
	Requests( h, 3, [ & ]( const std::string& after, const Stage& ) {
		for( const std::string& error : h.PendingGLErrors() )
			if( !after.empty() )
				findings.Fail( error + " is pending after " + after + "; expected no GL error" );
	} );
	h.Passed( "no GL error is pending after any request" );
}

void ObjectGrowth( Harness& h )
{
	auto instance = h.Instantiate( 64, 48 );
	Stage stage( h, 64, 48 );
	std::vector< Param > numeric;
	for( const Param& param : h.Params() )
		if( param.known && !param.text )
			numeric.push_back( param );
	uint32_t changes = 0;
	// Frames, each after a parameter change when `changing`: every parameter
	// goes to another value and back within an interval, so objects made
	// once for a value are not taken for growth.
	auto run = [ & ]( uint32_t count, bool changing ) {
		for( uint32_t i = 0; i < count; ++i, ++changes )
		{
			if( changing && !numeric.empty() )
			{
				const Param& param = numeric[ changes % numeric.size() ];
				h.Set( *instance, param, ( changes / numeric.size() ) % 2 ? param.defaultValue : param.DistinctValue() );
			}
			stage.Frame( *instance );
		}
		Stage::Rest();
		h.Step( "counting live GL objects" );
		return GLCensus::Take();
	};
	auto grows = [ & ]( const GLCensus& first, const GLCensus& second, const GLCensus& third, uint32_t frames, const std::string& how ) {
		if( second.Total() <= first.Total() || third.Total() <= second.Total() )
			return false;
		h.Fail( Request( FF_PROCESS_OPENGL ) + how + " leaves GL objects alive that grow with the frames: " +
				std::to_string( second.Total() - first.Total() ) + " more after " + std::to_string( frames ) + " frames, " +
				std::to_string( third.Total() - second.Total() ) + " more after the next " + std::to_string( frames ) + ": " +
				third.Since( first ).Describe() + "; expected a steady count" );
		return true;
	};
	const uint32_t frames = h.budget.growthFrames;
	const GLCensus first = run( 3, false ), second = run( frames, false ), third = run( frames, false );
	if( !grows( first, second, third, frames, "" ) )
	{
		const uint32_t changing = std::max( frames, 2 * static_cast< uint32_t >( numeric.size() ) );
		changes = 0;
		const GLCensus fourth = run( changing, true ), fifth = run( changing, true );
		grows( third, fourth, fifth, changing, " with " + Request( FF_SET_PARAMETER ) + " before each" );
	}
	h.Destroy( instance );
	h.Passed( "live GL objects stay steady over frames with and without parameter changes" );
}

void OtherState( Harness& h )
{
	const GLenum switches[] = { GL_BLEND, GL_DEPTH_TEST, GL_SCISSOR_TEST, GL_CULL_FACE, GL_STENCIL_TEST, GL_RASTERIZER_DISCARD };
	const char* switchNames[] = { "GL_BLEND", "GL_DEPTH_TEST", "GL_SCISSOR_TEST", "GL_CULL_FACE", "GL_STENCIL_TEST", "GL_RASTERIZER_DISCARD" };
	const std::pair< GLenum, const char* > bindings[] = {
		{ GL_RENDERBUFFER_BINDING, "renderbuffer" },
		{ GL_UNIFORM_BUFFER_BINDING, "uniform buffer" },
		{ GL_PIXEL_PACK_BUFFER_BINDING, "pixel pack buffer" },
		{ GL_PIXEL_UNPACK_BUFFER_BINDING, "pixel unpack buffer" },
		{ GL_TRANSFORM_FEEDBACK_BUFFER_BINDING, "transform feedback buffer" },
	};
	const std::pair< GLenum, const char* > targets[] = {
		{ GL_TEXTURE_BINDING_RECTANGLE, "rectangle texture" }, { GL_TEXTURE_BINDING_CUBE_MAP, "cube map texture" },
		{ GL_TEXTURE_BINDING_3D, "3D texture" },               { GL_TEXTURE_BINDING_2D_ARRAY, "2D array texture" },
		{ GL_SAMPLER_BINDING, "sampler" },
	};
	Findings findings( h );
	Requests( h, 3, [ & ]( const std::string& after, const Stage& ) {
		if( after != Request( FF_PROCESS_OPENGL ) )
			return;
		for( std::size_t i = 0; i < std::size( switches ); ++i )
			if( glIsEnabled( switches[ i ] ) )
				findings.Warn( "after " + after + ", " + switchNames[ i ] + " is left enabled" );
		for( const auto& [ name, what ] : bindings )
			if( const GLint value = Integer( name ); value != 0 )
				findings.Warn( "after " + after + ", " + what + " " + std::to_string( value ) + " is still bound" );
		GLboolean mask[ 4 ] = {};
		glGetBooleanv( GL_COLOR_WRITEMASK, mask );
		if( !mask[ 0 ] || !mask[ 1 ] || !mask[ 2 ] || !mask[ 3 ] )
			findings.Warn( "after " + after + ", the colour write mask is left partly off" );
		const GLint active = Integer( GL_ACTIVE_TEXTURE ), units = TextureUnits();
		for( GLint unit = 0; unit < units; ++unit )
		{
			glActiveTexture( GL_TEXTURE0 + static_cast< GLenum >( unit ) );
			for( const auto& [ name, what ] : targets )
				if( const GLint value = Integer( name ); value != 0 )
					findings.Warn( "after " + after + ", " + what + " " + std::to_string( value ) + " is still bound on unit " +
								   std::to_string( unit ) );
		}
		glActiveTexture( static_cast< GLenum >( active ) );
	} );
	h.Passed( "blending, tests, masks and other bindings are left as found" );
}

void InputPadding( Harness& h )
{
	const uint32_t count = h.InputCount();
	if( count == 0 )
	{
		h.Skip( "takes no input textures" );
		return;
	}
	auto instance = h.Instantiate( 64, 48 );
	Stage stage( h, 64, 48 );
	std::vector< std::unique_ptr< InputTexture > > exact;
	std::vector< const InputTexture* > exactInputs;
	for( uint32_t i = 0; i < count; ++i )
	{
		exact.push_back( std::make_unique< InputTexture >( TestPicture( 64, 48, i ) ) );
		exactInputs.push_back( exact.back().get() );
	}
	double time = 1.0;
	auto render = [ & ]( bool padded ) {
		h.CallP( FF_SET_TIME, &time, instance->Handle(), "to 1" );
		const std::string what = padded ? "with padded input textures" : "with exact-size input textures";
		const uint32_t answer  = padded ? stage.Frame( *instance, what ) : stage.Frame( *instance, exactInputs, what );
		if( answer != FF_SUCCESS )
			h.Abort( Request( FF_PROCESS_OPENGL ) + " " + what + " answered failure; expected success" );
		return stage.Pixels();
	};
	const Image first = render( false ), padded = render( true ), again = render( false );
	if( DifferingShare( first, again, 2 ) > 0.0 )
	{
		h.Passed( "the output changes from frame to frame, so the padding cannot be compared" );
		return;
	}
	const auto& texture = stage.Inputs().front()->Texture();
	// Filters that reach a texel past the picture's edge show a thin band of
	// padding (risky); ignoring the hardware size shows it across the frame.
	const double share = DifferingShare( first, padded, 4, 2 );
	char percent[ 16 ];
	std::snprintf( percent, sizeof percent, "%.0f%%", share * 100.0 );
	const std::string seen = Request( FF_PROCESS_OPENGL ) + " with input pictures of 64x48 in " + std::to_string( texture.HardwareWidth ) +
							 "x" + std::to_string( texture.HardwareHeight ) + " allocations: " + percent +
							 " of the output differs from the same frame with exact-size textures";
	if( share > 0.25 )
		h.Fail( seen + "; expected the padding never to show (width / hardware width is the largest texture coordinate)" );
	else if( share > 0.01 )
		h.Warn( seen + ", near the edges; sampling past the picture reads the host's padding" );
	h.Destroy( instance );
	h.Passed( "input textures larger than their pictures give the same output" );
}
}// namespace

void AddFrameChecks( std::vector< CheckSpec >& checks )
{
	const std::string g = "frames";
	checks.push_back( { g, "draws", "code 17 succeeds and draws into the host's framebuffer (untouched: WARN)", Draws } );
	checks.push_back( { g, "resting-state", "program, vertex array, array and element buffers 0, unit 0 active, no 2D texture bound",
						RestingState } );
	checks.push_back( { g, "framebuffer", "the host's framebuffer stays bound and alive; its input textures alive; viewport unchanged (WARN)",
						Framebuffer } );
	checks.push_back( { g, "gl-errors", "no GL error is pending after codes 18, 17, 23 and 19", GLErrors } );
	checks.push_back( { g, "object-growth", "live GL objects do not grow with the frames, nor with parameter changes between them",
						ObjectGrowth } );
	checks.push_back( { g, "other-state", "blending, depth, scissor, masks and other bindings left as found (WARN)", OtherState } );
	checks.push_back( { g, "input-padding", "effects and mixers: input allocations larger than the picture change nothing", InputPadding } );
}
}// namespace plughost::validate
