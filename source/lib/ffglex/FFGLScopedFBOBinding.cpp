#include "FFGLScopedFBOBinding.h"

namespace ffglex
{
ScopedFBOBinding::ScopedFBOBinding( GLuint framebuffer, RestoreBehaviour restoreBehaviour ) :
	isBound( true ),
	previousDrawFramebuffer( 0 ),
	previousReadFramebuffer( 0 )
{
	if( restoreBehaviour == RestorePrevious )
	{
		glGetIntegerv( GL_DRAW_FRAMEBUFFER_BINDING, &previousDrawFramebuffer );
		glGetIntegerv( GL_READ_FRAMEBUFFER_BINDING, &previousReadFramebuffer );
	}
	glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
}

ScopedFBOBinding::~ScopedFBOBinding()
{
	EndScope();
}

void ScopedFBOBinding::EndScope()
{
	if( !isBound )
		return;
	glBindFramebuffer( GL_DRAW_FRAMEBUFFER, static_cast< GLuint >( previousDrawFramebuffer ) );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, static_cast< GLuint >( previousReadFramebuffer ) );
	isBound = false;
}
}// namespace ffglex
