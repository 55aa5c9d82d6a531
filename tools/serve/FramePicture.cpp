#include "FramePicture.h"

#include <Png.h>

namespace plughost::cli::serve
{
const std::string& FramePicture::Png() const
{
	std::call_once( encoded, [ this ] { png = EncodePng( image ); } );
	return png;
}
}// namespace plughost::cli::serve
