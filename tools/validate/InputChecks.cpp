// The host's input textures as an effect or a mixer meets them: inputs
// missing or disconnected (null), and pictures that must come back as they
// were handed over.
#include "GLState.h"

#include <cstring>

namespace plughost::validate
{
namespace
{
bool TakesInputs( Harness& h )
{
	const uint32_t type = h.PluginType();
	if( type == FF_EFFECT || type == FF_MIXER )
		return true;
	h.Skip( "a source takes no input textures" );
	return false;
}

void MissingInputs( Harness& h )
{
	if( !TakesInputs( h ) )
		return;
	auto instance = h.Instantiate( 64, 48 );
	Stage stage( h, 64, 48 );
	const uint32_t count   = h.InputCount();
	const uint32_t minimum = h.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_MINIMUM_INPUT_FRAMES, nullptr, "for the minimum inputs" );
	std::vector< FFGLTextureStruct > textures;
	for( const auto& input : stage.Inputs() )
		textures.push_back( input->Texture() );
	Findings findings( h );
	// Any answer will do; the plug-in must not crash and must leave the
	// host's state as it found it.
	auto send = [ & ]( uint32_t inputs, FFGLTextureStruct** array, const std::string& what ) {
		ProcessOpenGLStruct frame{ inputs, array };
		stage.Frame( *instance, frame, what );
		const std::string after = Request( FF_PROCESS_OPENGL ) + " " + what;
		CheckRestingState( findings, after );
		CheckHostFramebuffer( findings, after, stage.Framebuffer() );
		CheckNoGLError( h, findings, after );
		Stage::Rest();
	};
	std::vector< std::string > cases;
	send( 0, nullptr, "with no inputs (a null array)" );
	cases.push_back( "none" );
	if( minimum != FF_FAIL && minimum >= 1 && minimum <= textures.size() )
	{
		std::vector< FFGLTextureStruct* > fewer( std::max( minimum - 1, 1u ), nullptr );
		for( uint32_t i = 0; i + 1 < minimum; ++i )
			fewer[ i ] = &textures[ i ];
		send( minimum - 1, fewer.data(), "with " + std::to_string( minimum - 1 ) + " input(s), one fewer than the minimum of " +
											  std::to_string( minimum ) );
		cases.push_back( "one fewer than the minimum" );
	}
	for( uint32_t slot = 0; slot < count; ++slot )
	{
		std::vector< FFGLTextureStruct* > pointers;
		for( auto& texture : textures )
			pointers.push_back( &texture );
		pointers[ slot ] = nullptr;
		send( count, pointers.data(), "with " + std::to_string( count ) + " input(s), input " + std::to_string( slot ) + " null" );
	}
	if( count > 0 )
		cases.push_back( "each input null" );
	if( const uint32_t answer = stage.Frame( *instance, "with every input again" ); answer != FF_SUCCESS )
		h.Fail( Request( FF_PROCESS_OPENGL ) + " with every input, after frames with inputs missing, answers " + Answer( answer ) +
				"; expected success" );
	h.Destroy( instance );
	std::string list;
	for( const auto& c : cases )
		list += ( list.empty() ? "" : ", " ) + c;
	h.Passed( "frames with missing inputs (" + list + ") answer without crashing and leave the state at rest" );
}

// Texture memory of an input, its whole allocation.
std::vector< uint8_t > ReadBack( const InputTexture& input )
{
	const FFGLTextureStruct& texture = input.Texture();
	std::vector< uint8_t > pixels( static_cast< std::size_t >( texture.HardwareWidth ) * texture.HardwareHeight * 4 );
	glActiveTexture( GL_TEXTURE0 );
	glBindTexture( GL_TEXTURE_2D, input.Handle() );
	glPixelStorei( GL_PACK_ALIGNMENT, 1 );
	glGetTexImage( GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data() );
	glBindTexture( GL_TEXTURE_2D, 0 );
	return pixels;
}

void InputsUntouched( Harness& h )
{
	if( !TakesInputs( h ) )
		return;
	if( h.InputCount() == 0 )
	{
		h.Skip( "declares no input textures" );
		return;
	}
	auto instance = h.Instantiate( 64, 48 );
	Stage stage( h, 64, 48 );
	Stage::Rest();
	std::vector< std::vector< uint8_t > > before;
	for( const auto& input : stage.Inputs() )
		before.push_back( ReadBack( *input ) );
	for( int k = 0; k < 3; ++k )
	{
		const double time = 1.0 + k;
		h.CallP( FF_SET_TIME, &time, instance->Handle(), "to " + std::to_string( 1 + k ) );
		if( const uint32_t answer = stage.Frame( *instance ); answer != FF_SUCCESS )
			h.Abort( Request( FF_PROCESS_OPENGL ) + " answers " + Answer( answer ) + "; expected success" );
		Stage::Rest();
		h.Step( "reading back the host's input textures after " + Request( FF_PROCESS_OPENGL ) );
		for( std::size_t i = 0; i < before.size(); ++i )
		{
			const std::vector< uint8_t > after = ReadBack( *stage.Inputs()[ i ] );
			std::size_t changed = 0;
			for( std::size_t p = 0; p < after.size(); p += 4 )
				changed += std::memcmp( &after[ p ], &before[ i ][ p ], 4 ) != 0;
			if( changed > 0 )
			{
				h.Fail( Request( FF_PROCESS_OPENGL ) + " changed the host's input texture " + std::to_string( i ) + " (" +
						std::to_string( changed ) + " of " + std::to_string( after.size() / 4 ) + " texels); expected it untouched" );
				before[ i ] = after;// say it once
			}
		}
	}
	h.Destroy( instance );
	h.Passed( "3 frames leave the host's input textures as they were, padding included" );
}
}// namespace

void AddInputChecks( std::vector< CheckSpec >& checks )
{
	const std::string g = "frames";
	checks.push_back( { g, "missing-inputs", "effects and mixers: frames with no inputs, too few, or a null input answer without crashing",
						MissingInputs } );
	checks.push_back( { g, "inputs-untouched", "effects and mixers: frames leave the host's input textures unchanged", InputsUntouched } );
}
}// namespace plughost::validate
