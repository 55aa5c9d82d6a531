#include "Reference.h"

#include <PlugHost.h>

#include <memory>

namespace frei0rtest
{
plughost::Image RenderReference( const ReferenceFrame& frame )
{
	plughost::PluginLibrary library( frame.plugin );
	library.Initialise();
	plughost::GLContext context;
	std::vector< std::unique_ptr< plughost::InputTexture > > owned;
	std::vector< const plughost::InputTexture* > inputs;
	// Padded as `plughost render` pads them: the bridge hands over exact
	// sizes, and a plug-in that honours the hardware size draws the same.
	for( const auto& image : frame.inputs )
	{
		owned.push_back( std::make_unique< plughost::InputTexture >( image, plughost::NextPowerOfTwo( image.width ),
																	  plughost::NextPowerOfTwo( image.height ) ) );
		inputs.push_back( owned.back().get() );
	}
	plughost::RenderTarget target( frame.width, frame.height );
	plughost::Instance instance( library, frame.width, frame.height );
	for( const auto& [ index, value ] : frame.values )
		instance.SetFloat( index, value );
	if( library.Caps().timeSupported )
		instance.SetTime( frame.time );
	return plughost::RenderImage( instance, target, inputs );
}
}// namespace frei0rtest
