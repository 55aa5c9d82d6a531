#include "RenderFrame.h"

#include "Error.h"

#include <GL/glcorearb.h>

namespace plughost
{
uint32_t RenderFrame( Instance& instance, const RenderTarget& target, const std::vector< const InputTexture* >& inputs,
					  FrameOptions options )
{
	std::vector< FFGLTextureStruct > textures;
	textures.reserve( inputs.size() );
	for( const InputTexture* input : inputs )
	{
		if( input == nullptr )
			throw Error( "RenderFrame: null input texture" );
		textures.push_back( input->Texture() );
	}
	if( options.clear )
		target.Clear();
	else
		target.Bind();
	const uint32_t result = instance.ProcessFrame( textures );
	// Later GL work of the host must not land in the plug-in's leftovers.
	glFinish();
	return result;
}

Image RenderImage( Instance& instance, const RenderTarget& target, const std::vector< const InputTexture* >& inputs,
				   FrameOptions options )
{
	if( RenderFrame( instance, target, inputs, options ) != FF_SUCCESS )
		throw Error( instance.Library().Path() + ": the plug-in failed to render a frame" );
	return target.ReadPixels();
}
}// namespace plughost
