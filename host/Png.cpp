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

namespace
{
png_image Describe( const std::string& what, const Image& image )
{
	if( image.width == 0 || image.height == 0 ||
		image.pixels.size() != static_cast< std::size_t >( image.width ) * image.height * 4 )
		throw Error( "cannot write " + what + ": the image is empty or its pixel buffer has the wrong size" );
	png_image png;
	std::memset( &png, 0, sizeof png );
	png.version = PNG_IMAGE_VERSION;
	png.width   = image.width;
	png.height  = image.height;
	png.format  = PNG_FORMAT_RGBA;
	return png;
}
}// namespace

void WritePng( const std::string& path, const Image& image )
{
	png_image png = Describe( path, image );
	if( !png_image_write_to_file( &png, path.c_str(), 0, image.pixels.data(), 0, nullptr ) )
		throw Error( "cannot write " + path + ": " + Reason( png ) );
}

std::string EncodePng( const Image& image )
{
	png_image png = Describe( "a PNG", image );
	// Room for the worst case, so one pass is enough.
	png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX( png );
	std::string bytes( size, '\0' );
	if( !png_image_write_to_memory( &png, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr ) )
		throw Error( "cannot encode a PNG: " + Reason( png ) );
	bytes.resize( size );
	return bytes;
}
}// namespace plughost
