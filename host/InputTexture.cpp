#include "InputTexture.h"

#include "Error.h"

#include <GL/glcorearb.h>

#include <algorithm>
#include <string>
#include <vector>

namespace plughost
{
namespace
{
// Binds the texture and sets unpack state for tightly packed rows: the
// plug-in or the host may have left other state behind.
void BindForUpload( GLuint texture )
{
	glBindTexture( GL_TEXTURE_2D, texture );
	glBindBuffer( GL_PIXEL_UNPACK_BUFFER, 0 );
	glPixelStorei( GL_UNPACK_ALIGNMENT, 1 );
	glPixelStorei( GL_UNPACK_ROW_LENGTH, 0 );
	glPixelStorei( GL_UNPACK_SKIP_ROWS, 0 );
	glPixelStorei( GL_UNPACK_SKIP_PIXELS, 0 );
}
}// namespace

InputTexture::InputTexture( const Image& image, uint32_t hardwareWidth, uint32_t hardwareHeight,
							std::array< uint8_t, 4 > padding )
{
	if( image.pixels.size() != static_cast< std::size_t >( image.width ) * image.height * 4 || image.width == 0 ||
		image.height == 0 )
		throw Error( "input texture: the image is empty or its pixel buffer has the wrong size" );
	if( hardwareWidth == 0 )
		hardwareWidth = image.width;
	if( hardwareHeight == 0 )
		hardwareHeight = image.height;
	if( hardwareWidth < image.width || hardwareHeight < image.height )
		throw Error( "input texture: allocation " + std::to_string( hardwareWidth ) + "x" + std::to_string( hardwareHeight ) +
					 " is smaller than the picture " + std::to_string( image.width ) + "x" + std::to_string( image.height ) );
	CheckImageSize( hardwareWidth, hardwareHeight );

	GLuint name = 0;
	glGenTextures( 1, &name );
	BindForUpload( name );
	// Fill the padding so sampling past the picture reads a known colour.
	std::vector< uint8_t > filled( static_cast< std::size_t >( hardwareWidth ) * hardwareHeight * 4 );
	for( std::size_t i = 0; i < filled.size(); ++i )
		filled[ i ] = padding[ i % 4 ];
	glTexImage2D( GL_TEXTURE_2D, 0, GL_RGBA8, static_cast< GLsizei >( hardwareWidth ), static_cast< GLsizei >( hardwareHeight ),
				  0, GL_RGBA, GL_UNSIGNED_BYTE, filled.data() );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE );

	record.Width          = image.width;
	record.Height         = image.height;
	record.HardwareWidth  = hardwareWidth;
	record.HardwareHeight = hardwareHeight;
	record.Handle         = name;
	std::vector< uint8_t > bottomUp;
	Upload( image.pixels.data(), bottomUp );
}

void InputTexture::Replace( const uint8_t* pixels )
{
	glActiveTexture( GL_TEXTURE0 );
	BindForUpload( record.Handle );
	Upload( pixels, staging );
}

// Needs the texture bound for upload (BindForUpload).
void InputTexture::Upload( const uint8_t* topRowFirst, std::vector< uint8_t >& bottomUp )
{
	// GL rows run bottom-up, the picture's top-down.
	const std::size_t rowBytes = static_cast< std::size_t >( record.Width ) * 4;
	bottomUp.resize( rowBytes * record.Height );
	if( topRowFirst == nullptr )
		std::fill( bottomUp.begin(), bottomUp.end(), uint8_t{ 0 } );
	else
		for( uint32_t y = 0; y < record.Height; ++y )
			std::copy_n( topRowFirst + ( record.Height - 1 - y ) * rowBytes, rowBytes, bottomUp.data() + y * rowBytes );
	glTexSubImage2D( GL_TEXTURE_2D, 0, 0, 0, static_cast< GLsizei >( record.Width ), static_cast< GLsizei >( record.Height ),
					 GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data() );
	glBindTexture( GL_TEXTURE_2D, 0 );
}

InputTexture::~InputTexture()
{
	if( record.Handle != 0 )
	{
		GLuint name = record.Handle;
		glDeleteTextures( 1, &name );
	}
}

uint32_t NextPowerOfTwo( uint32_t size )
{
	uint32_t power = 1;
	while( power < size && power < ( 1u << 31 ) )
		power <<= 1;
	return power;
}
}// namespace plughost
