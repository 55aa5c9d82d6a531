#include "IsfPng.h"

#include "IsfDocument.h"

#include <png.h>

#include <cstring>

namespace isf
{
Picture DecodePng( const std::vector< uint8_t >& bytes, const std::string& what )
{
	png_image png;
	std::memset( &png, 0, sizeof png );
	png.version = PNG_IMAGE_VERSION;
	if( !png_image_begin_read_from_memory( &png, bytes.data(), bytes.size() ) )
		throw Error( what + " is not a readable PNG image: " + png.message );
	png.format = PNG_FORMAT_RGBA;
	if( png.width == 0 || png.height == 0 || png.width > 16384 || png.height > 16384 )
	{
		png_image_free( &png );
		throw Error( what + " is " + std::to_string( png.width ) + "x" + std::to_string( png.height ) + "; images up to 16384x16384 are read" );
	}
	Picture picture;
	picture.width  = png.width;
	picture.height = png.height;
	picture.rgba.resize( size_t( png.width ) * png.height * 4 );
	// A negative stride stores the bottom row first.
	const png_int_32 stride = -static_cast< png_int_32 >( png.width * 4 );
	if( !png_image_finish_read( &png, nullptr, picture.rgba.data(), stride, nullptr ) )
	{
		const std::string reason = png.message;
		png_image_free( &png );
		throw Error( what + " cannot be decoded: " + reason );
	}
	return picture;
}
}// namespace isf
