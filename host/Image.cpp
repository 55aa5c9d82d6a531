#include "Image.h"

#include "Error.h"

#include <string>

namespace plughost
{
namespace
{
void Put( Image& image, uint32_t x, uint32_t y, Rgba colour )
{
	uint8_t* p = image.At( x, y );
	p[ 0 ]     = colour.r;
	p[ 1 ]     = colour.g;
	p[ 2 ]     = colour.b;
	p[ 3 ]     = colour.a;
}
}// namespace

void CheckImageSize( uint32_t width, uint32_t height )
{
	if( width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide )
		throw Error( "unsupported image size " + std::to_string( width ) + "x" + std::to_string( height ) +
					 " (each side must be 1 to " + std::to_string( kMaxImageSide ) + ")" );
}

Image::Image( uint32_t w, uint32_t h ) : width( w ), height( h )
{
	CheckImageSize( w, h );
	pixels.assign( static_cast< std::size_t >( w ) * h * 4, 0 );
}

bool Image::operator==( const Image& other ) const
{
	return width == other.width && height == other.height && pixels == other.pixels;
}

Image SolidImage( uint32_t width, uint32_t height, Rgba colour )
{
	Image image( width, height );
	for( uint32_t y = 0; y < height; ++y )
		for( uint32_t x = 0; x < width; ++x )
			Put( image, x, y, colour );
	return image;
}

Image CheckerImage( uint32_t width, uint32_t height, uint32_t cell, Rgba first, Rgba second )
{
	if( cell == 0 )
		cell = 1;
	Image image( width, height );
	for( uint32_t y = 0; y < height; ++y )
		for( uint32_t x = 0; x < width; ++x )
			Put( image, x, y, ( ( x / cell ) + ( y / cell ) ) % 2 == 0 ? first : second );
	return image;
}

Image GradientImage( uint32_t width, uint32_t height )
{
	Image image( width, height );
	for( uint32_t y = 0; y < height; ++y )
		for( uint32_t x = 0; x < width; ++x )
		{
			const auto r = static_cast< uint8_t >( width > 1 ? x * 255u / ( width - 1 ) : 0 );
			const auto g = static_cast< uint8_t >( height > 1 ? y * 255u / ( height - 1 ) : 0 );
			Put( image, x, y, Rgba{ r, g, 128, 255 } );
		}
	return image;
}
}// namespace plughost
