#include "FFGLFBO.h"

#include <cassert>
#include <utility>

#include "FFGLScopedFBOBinding.h"
#include "FFGLScopedRenderBufferBinding.h"
#include "FFGLScopedTextureBinding.h"

namespace ffglex
{
FFGLFBO::FFGLFBO( FFGLFBO&& other ) noexcept :
	width( std::exchange( other.width, 0 ) ),
	height( std::exchange( other.height, 0 ) ),
	colorInternalFormat( std::exchange( other.colorInternalFormat, 0 ) ),
	fboID( std::exchange( other.fboID, 0 ) ),
	depthBufferID( std::exchange( other.depthBufferID, 0 ) ),
	colorTextureID( std::exchange( other.colorTextureID, 0 ) )
{
}

FFGLFBO& FFGLFBO::operator=( FFGLFBO&& other ) noexcept
{
	if( this != &other )
	{
		assert( fboID == 0 && depthBufferID == 0 && colorTextureID == 0 );
		width = std::exchange( other.width, 0 );
		height = std::exchange( other.height, 0 );
		colorInternalFormat = std::exchange( other.colorInternalFormat, 0 );
		fboID = std::exchange( other.fboID, 0 );
		depthBufferID = std::exchange( other.depthBufferID, 0 );
		colorTextureID = std::exchange( other.colorTextureID, 0 );
	}
	return *this;
}

bool FFGLFBO::Initialise( GLsizei newWidth, GLsizei newHeight, GLint internalFormat )
{
	if( fboID != 0 )
		return false;
	// A target without pixels can never be complete; refuse before any GL call.
	if( newWidth <= 0 || newHeight <= 0 )
		return false;

	width = newWidth;
	height = newHeight;
	colorInternalFormat = internalFormat;
	if( !GenerateFBO() || !GenerateDepthBuffer() || !GenerateColorTexture() )
	{
		Release();
		return false;
	}

	ScopedFBOBinding fboBinding( fboID, ScopedFBOBinding::RestorePrevious );
	glFramebufferRenderbuffer( GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBufferID );
	glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTextureID, 0 );
	if( glCheckFramebufferStatus( GL_FRAMEBUFFER ) != GL_FRAMEBUFFER_COMPLETE )
	{
		fboBinding.EndScope();
		Release();
		return false;
	}
	return true;
}

bool FFGLFBO::GenerateFBO()
{
	glGenFramebuffers( 1, &fboID );
	return fboID != 0;
}

bool FFGLFBO::GenerateDepthBuffer()
{
	glGenRenderbuffers( 1, &depthBufferID );
	if( depthBufferID == 0 )
		return false;
	ScopedRenderBufferBinding renderBufferBinding( depthBufferID );
	glRenderbufferStorage( GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height );
	return true;
}

bool FFGLFBO::GenerateColorTexture()
{
	glGenTextures( 1, &colorTextureID );
	if( colorTextureID == 0 )
		return false;
	ScopedTextureBinding textureBinding( GL_TEXTURE_2D, colorTextureID );
	// No pixels are uploaded, but the transfer type must still be one GL
	// accepts for the format: bytes for 8-bit RGBA, floats for the rest.
	GLenum type = colorInternalFormat == GL_RGBA8 ? GL_UNSIGNED_BYTE : GL_FLOAT;
	glTexImage2D( GL_TEXTURE_2D, 0, colorInternalFormat, width, height, 0, GL_RGBA, type, nullptr );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE );
	return true;
}

void FFGLFBO::Release()
{
	width = 0;
	height = 0;
	if( fboID != 0 )
	{
		glDeleteFramebuffers( 1, &fboID );
		fboID = 0;
	}
	if( depthBufferID != 0 )
	{
		glDeleteRenderbuffers( 1, &depthBufferID );
		depthBufferID = 0;
	}
	if( colorTextureID != 0 )
	{
		glDeleteTextures( 1, &colorTextureID );
		colorTextureID = 0;
	}
}

void FFGLFBO::ResizeViewPort() const
{
	glViewport( 0, 0, width, height );
}

FFGLTextureStruct FFGLFBO::GetTextureInfo() const
{
	FFGLTextureStruct info;
	info.Width = static_cast< uint32_t >( width );
	info.Height = static_cast< uint32_t >( height );
	// Allocated at exactly the requested size, so no padding to report.
	info.HardwareWidth = info.Width;
	info.HardwareHeight = info.Height;
	info.Handle = colorTextureID;
	return info;
}
}// namespace ffglex
