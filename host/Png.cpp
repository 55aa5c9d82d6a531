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

namespace
{
void AppendTo( png_structp png, png_bytep data, png_size_t size )
{
	static_cast< std::string* >( png_get_io_ptr( png ) )->append( reinterpret_cast< const char* >( data ), size );
}

void NoFlush( png_structp ) {}
}// namespace

std::string EncodePng( const Image& image )
{
	Describe( "a PNG", image );// checks the size
	std::string bytes;
	png_structp png = png_create_write_struct( PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr );
	png_infop info  = png ? png_create_info_struct( png ) : nullptr;
	if( !info || setjmp( png_jmpbuf( png ) ) )
	{
		png_destroy_write_struct( &png, &info );
		throw Error( "cannot encode a PNG: libpng failed" );
	}
	png_set_write_fn( png, &bytes, AppendTo, NoFlush );
	png_set_IHDR( png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
				  PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT );
	// The fastest compression with one filter: four to five times quicker
	// than the defaults, and on rendered frames hardly larger.
	png_set_compression_level( png, 1 );
	png_set_filter( png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP );
	png_write_info( png, info );
	for( uint32_t y = 0; y < image.height; ++y )
		png_write_row( png, const_cast< png_bytep >( image.At( 0, y ) ) );
	png_write_end( png, info );
	png_destroy_write_struct( &png, &info );
	return bytes;
}
}// namespace plughost
