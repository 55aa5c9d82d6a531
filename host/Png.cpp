#include "Png.h"

#include "Error.h"

#include <png.h>

#include <cstring>

namespace plughost
{
namespace
{
std::string Reason( const png_image& image )
{
	return image.message[ 0 ] != '\0' ? image.message : "unknown libpng error";
}
}// namespace

Image ReadPng( const std::string& path )
{
	png_image png;
	std::memset( &png, 0, sizeof png );
	png.version = PNG_IMAGE_VERSION;
	if( !png_image_begin_read_from_file( &png, path.c_str() ) )
		throw Error( "cannot read " + path + ": " + Reason( png ) );
	png.format = PNG_FORMAT_RGBA;
	Image image;
	try
	{
		image = Image( png.width, png.height );
	}
	catch( const Error& error )
	{
		png_image_free( &png );
		throw Error( "cannot read " + path + ": " + error.what() );
	}
	if( !png_image_finish_read( &png, nullptr, image.pixels.data(), 0, nullptr ) )
	{
		const std::string reason = Reason( png );
		png_image_free( &png );
		throw Error( "cannot read " + path + ": " + reason );
	}
	return image;
}

void WritePng( const std::string& path, const Image& image )
{
	if( image.width == 0 || image.height == 0 ||
		image.pixels.size() != static_cast< std::size_t >( image.width ) * image.height * 4 )
		throw Error( "cannot write " + path + ": the image is empty or its pixel buffer has the wrong size" );
	png_image png;
	std::memset( &png, 0, sizeof png );
	png.version = PNG_IMAGE_VERSION;
	png.width   = image.width;
	png.height  = image.height;
	png.format  = PNG_FORMAT_RGBA;
	if( !png_image_write_to_file( &png, path.c_str(), 0, image.pixels.data(), 0, nullptr ) )
		throw Error( "cannot write " + path + ": " + Reason( png ) );
}
}// namespace plughost
