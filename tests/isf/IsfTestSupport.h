// ISF plug-ins made in-process for tests: the .fs written to a scratch
// folder, bundled and appended to a copy of the built shell, as
// `plughost isf` does.
#pragma once

#include <PlugHost.h>

#include <map>
#include <string>

namespace isftest
{
// Path of the new plug-in; every call makes a file of its own, so each
// loads as a separate library. `extra` files (name -> bytes) go beside the .fs.
std::string MakePlugin( const std::string& stem, const std::string& fragment,
						const std::map< std::string, std::string >& extra = {} );

// A frame of `instance` at this size, time and inputs, as an image.
plughost::Image Frame( plughost::Instance& instance, const plughost::RenderTarget& target,
					   const std::vector< const plughost::InputTexture* >& inputs = {} );

// Parameter index by name; -1 when none.
int IndexOf( const plughost::PluginLibrary& library, const std::string& name );

// |a - b| for each channel within `tolerance`.
bool Near( const uint8_t* pixel, std::array< float, 4 > expected, int tolerance = 2 );
std::string Show( const uint8_t* pixel );
}// namespace isftest
