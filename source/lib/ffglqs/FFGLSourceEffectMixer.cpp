#include "FFGLEffect.h"
#include "FFGLMixer.h"
#include "FFGLSource.h"
#include "FFGLTexCoords.h"
#include "../ffglex/FFGLScopedSamplerActivation.h"
#include "../ffglex/FFGLScopedShaderBinding.h"
#include "../ffglex/FFGLScopedTextureBinding.h"

namespace ffglqs
{
namespace
{
const char* const sourceFragmentInputs_ = "\n\t\tin vec2 i_uv;\n\t";
const char* const sourceVertexCode_ =
	"\n\t\t#version 410 core\n\t\tlayout( location = 0 ) in vec4 vPosition;\n\t\tlayout( location = 1 ) in vec2 vUV;\n\n"
	"\t\tout vec2 i_uv;\n\n\t\tvoid main()\n\t\t{\n\t\t\tgl_Position = vPosition;\n\t\t\ti_uv = vUV;\n\t\t}\n\t";

const char* const effectFragmentInputs_ = "\n\t\tin vec2 i_uv;\n\t\tuniform sampler2D inputTexture;\n\t";
const char* const effectVertexCode_ =
	"\n\t\t#version 410 core\n\t\tuniform vec2 maxUV;\n\n\t\tlayout( location = 0 ) in vec4 vPosition;\n"
	"\t\tlayout( location = 1 ) in vec2 vUV;\n\n\t\tout vec2 i_uv;\n\n\t\tvoid main()\n\t\t{\n"
	"\t\t\tgl_Position = vPosition;\n\t\t\ti_uv = vUV * maxUV;\n\t\t}\n\t";

const char* const mixerFragmentInputs_ =
	"\n\t\tuniform sampler2D textureDest;\n\t\tuniform sampler2D textureSrc;\n\n\t\tin vec2 i_uv_dest;\n\t\tin vec2 i_uv_src;\n\t";
const char* const mixerVertexCode_ =
	"#version 410 core\n\t\tuniform vec2 maxUVDest;\n\t\tuniform vec2 maxUVSrc;\n\n\t\tlayout( location = 0 ) in vec4 vPosition;\n"
	"\t\tlayout( location = 1 ) in vec2 vUV;\n\n\t\tout vec2 i_uv_dest;\n\t\tout vec2 i_uv_src;\n\n\t\tvoid main()\n\t\t{\n"
	"\t\t\tgl_Position = vPosition;\n\t\t\ti_uv_dest = vUV * maxUVDest;\n\t\t\ti_uv_src = vUV * maxUVSrc;\n\t\t}\n\t";
// True when the frame carries at least `count` input textures, none null.
bool HasInputTextures( const ProcessOpenGLStruct* frame, uint32_t count )
{
	if( frame == nullptr || frame->numInputTextures < count || frame->inputTextures == nullptr )
		return false;
	for( uint32_t i = 0; i < count; ++i )
		if( frame->inputTextures[ i ] == nullptr )
			return false;
	return true;
}
}// namespace

TexCoords GetMaxGLTexCoords( FFGLTextureStruct texture )
{
	TexCoords coords;
	coords.s = static_cast< float >( texture.Width ) / static_cast< float >( texture.HardwareWidth );
	coords.t = static_cast< float >( texture.Height ) / static_cast< float >( texture.HardwareHeight );
	return coords;
}

Source::Source( bool supportTopLeftTextureOrientation ) : Plugin( supportTopLeftTextureOrientation )
{
	SetMinInputs( 0 );
	SetMaxInputs( 0 );
	fragmentShaderCodeStart += sourceFragmentInputs_;
	vertexShaderCode = sourceVertexCode_;
}

Effect::Effect( bool supportTopLeftTextureOrientation ) : Plugin( supportTopLeftTextureOrientation )
{
	SetMinInputs( 1 );
	SetMaxInputs( 1 );
	fragmentShaderCodeStart += effectFragmentInputs_;
	vertexShaderCode = effectVertexCode_;
}

FFResult Effect::Render( ProcessOpenGLStruct* inputTextures )
{
	// Checked before any GL call: a frame without its input draws nothing.
	if( !HasInputTextures( inputTextures, 1 ) )
		return FF_FAIL;
	const FFGLTextureStruct& input = *inputTextures->inputTextures[ 0 ];

	ffglex::ScopedShaderBinding shaderBinding( shader.GetGLID() );
	ffglex::ScopedSamplerActivation activateSampler( 0 );
	ffglex::Scoped2DTextureBinding textureBinding( input.Handle );

	shader.Set( "inputTexture", 0 );
	TexCoords maxCoords = GetMaxGLTexCoords( input );
	shader.Set( "maxUV", maxCoords.s, maxCoords.t );

	quad.Draw();
	return FF_SUCCESS;
}

Mixer::Mixer( bool supportTopLeftTextureOrientation ) : Plugin( supportTopLeftTextureOrientation )
{
	SetMinInputs( 2 );
	SetMaxInputs( 2 );
	fragmentShaderCodeStart += mixerFragmentInputs_;
	vertexShaderCode = mixerVertexCode_;
	AddParam( Param::Create( "mixVal" ) );
}

FFResult Mixer::Render( ProcessOpenGLStruct* inputTextures )
{
	if( !HasInputTextures( inputTextures, 2 ) )
		return FF_FAIL;
	const FFGLTextureStruct& destination = *inputTextures->inputTextures[ 0 ];
	const FFGLTextureStruct& source = *inputTextures->inputTextures[ 1 ];

	ffglex::ScopedShaderBinding shaderBinding( shader.GetGLID() );
	ffglex::ScopedSamplerActivation activateDestinationSampler( 0 );
	ffglex::Scoped2DTextureBinding destinationBinding( destination.Handle );
	ffglex::ScopedSamplerActivation activateSourceSampler( 1 );
	ffglex::Scoped2DTextureBinding sourceBinding( source.Handle );

	shader.Set( "textureDest", 0 );
	TexCoords destinationCoords = GetMaxGLTexCoords( destination );
	shader.Set( "maxUVDest", destinationCoords.s, destinationCoords.t );
	shader.Set( "textureSrc", 1 );
	TexCoords sourceCoords = GetMaxGLTexCoords( source );
	shader.Set( "maxUVSrc", sourceCoords.s, sourceCoords.t );

	quad.Draw();
	return FF_SUCCESS;
}

}// namespace ffglqs
