#include "FFGLScopedTextureBinding.h"

namespace ffglex
{
ScopedTextureBinding::ScopedTextureBinding( GLenum target, GLuint texture ) :
	target( target ),
	isBound( true )
{
	glBindTexture( target, texture );
}

ScopedTextureBinding::~ScopedTextureBinding()
{
	EndScope();
}

void ScopedTextureBinding::EndScope()
{
	if( !isBound )
		return;
	glBindTexture( target, 0 );
	isBound = false;
}

Scoped2DTextureBinding::Scoped2DTextureBinding( GLuint texture ) :
	ScopedTextureBinding( GL_TEXTURE_2D, texture )
{
}
}// namespace ffglex
