#include "RenderTarget.h"

#include "Error.h"

#include <GL/glcorearb.h>

#include <cstring>
#include <string>
#include <vector>

namespace plughost
{
RenderTarget::RenderTarget( uint32_t w, uint32_t h ) : width( w ), height( h )
{
	CheckImageSize( w, h );
	glGenTextures( 1, &texture );
	glBindTexture( GL_TEXTURE_2D, texture );
	glTexImage2D( GL_TEXTURE_2D, 0, GL_RGBA8, static_cast< GLsizei >( w ), static_cast< GLsizei >( h ), 0, GL_RGBA,
				  GL_UNSIGNED_BYTE, nullptr );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR );
	glBindTexture( GL_TEXTURE_2D, 0 );

	glGenRenderbuffers( 1, &depth );
	glBindRenderbuffer( GL_RENDERBUFFER, depth );
	glRenderbufferStorage( GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, static_cast< GLsizei >( w ), static_cast< GLsizei >( h ) );
	glBindRenderbuffer( GL_RENDERBUFFER, 0 );

	glGenFramebuffers( 1, &framebuffer );
	glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
	glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0 );
	glFramebufferRenderbuffer( GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth );
	const GLenum status = glCheckFramebufferStatus( GL_FRAMEBUFFER );
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	if( status != GL_FRAMEBUFFER_COMPLETE )
	{
		Release();
		throw Error( "the " + std::to_string( w ) + "x" + std::to_string( h ) +
					 " render target is incomplete (GL status " + std::to_string( status ) + ")" );
	}
}

RenderTarget::~RenderTarget()
{
	Release();
}

void RenderTarget::Release() noexcept
{
	if( framebuffer != 0 )
		glDeleteFramebuffers( 1, &framebuffer );
	if( depth != 0 )
		glDeleteRenderbuffers( 1, &depth );
	if( texture != 0 )
		glDeleteTextures( 1, &texture );
	framebuffer = depth = texture = 0;
}

void RenderTarget::Bind() const
{
	glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
	glViewport( 0, 0, static_cast< GLsizei >( width ), static_cast< GLsizei >( height ) );
}

void RenderTarget::Clear( float r, float g, float b, float a ) const
{
	Bind();
	glClearColor( r, g, b, a );
	glClearDepth( 1.0 );
	glClear( GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT );
}

void BindForReadPixels( uint32_t framebuffer )
{
	glBindFramebuffer( GL_READ_FRAMEBUFFER, framebuffer );
	glReadBuffer( GL_COLOR_ATTACHMENT0 );
	glBindBuffer( GL_PIXEL_PACK_BUFFER, 0 );
	glPixelStorei( GL_PACK_ALIGNMENT, 1 );
	glPixelStorei( GL_PACK_ROW_LENGTH, 0 );
	glPixelStorei( GL_PACK_SKIP_ROWS, 0 );
	glPixelStorei( GL_PACK_SKIP_PIXELS, 0 );
}

Image RenderTarget::ReadPixels() const
{
	Image image( width, height );
	BindForReadPixels( framebuffer );
	std::vector< uint8_t > bottomUp( image.pixels.size() );
	glReadPixels( 0, 0, static_cast< GLsizei >( width ), static_cast< GLsizei >( height ), GL_RGBA, GL_UNSIGNED_BYTE,
				  bottomUp.data() );
	// GL's first row is the bottom one.
	const std::size_t rowBytes = static_cast< std::size_t >( width ) * 4;
	for( uint32_t y = 0; y < height; ++y )
		std::memcpy( image.pixels.data() + y * rowBytes, bottomUp.data() + ( height - 1 - y ) * rowBytes, rowBytes );
	return image;
}
}// namespace plughost
