#include "FFGLScopedBufferBinding.h"

namespace ffglex
{
ScopedBufferBinding::ScopedBufferBinding( GLenum target, GLuint buffer ) :
	target( target ),
	isBound( true )
{
	glBindBuffer( target, buffer );
}

ScopedBufferBinding::~ScopedBufferBinding()
{
	EndScope();
}

void ScopedBufferBinding::EndScope()
{
	if( !isBound )
		return;
	glBindBuffer( target, 0 );
	isBound = false;
}

ScopedVBOBinding::ScopedVBOBinding( GLuint buffer ) :
	ScopedBufferBinding( GL_ARRAY_BUFFER, buffer )
{
}

ScopedIBOBinding::ScopedIBOBinding( GLuint buffer ) :
	ScopedBufferBinding( GL_ELEMENT_ARRAY_BUFFER, buffer )
{
}

ScopedUBOBinding::ScopedUBOBinding( GLuint buffer ) :
	ScopedBufferBinding( GL_UNIFORM_BUFFER, buffer )
{
}
}// namespace ffglex
