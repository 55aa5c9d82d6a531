#include "FFGLScopedRenderBufferBinding.h"

namespace ffglex
{
ScopedRenderBufferBinding::ScopedRenderBufferBinding( GLuint renderBuffer ) :
	isBound( true )
{
	glBindRenderbuffer( GL_RENDERBUFFER, renderBuffer );
}

ScopedRenderBufferBinding::~ScopedRenderBufferBinding()
{
	EndScope();
}

void ScopedRenderBufferBinding::EndScope()
{
	if( !isBound )
		return;
	glBindRenderbuffer( GL_RENDERBUFFER, 0 );
	isBound = false;
}
}// namespace ffglex
