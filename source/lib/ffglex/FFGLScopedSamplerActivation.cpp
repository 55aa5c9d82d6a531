#include "FFGLScopedSamplerActivation.h"

namespace ffglex
{
ScopedSamplerActivation::ScopedSamplerActivation( GLuint unit ) :
	isBound( true )
{
	glActiveTexture( GL_TEXTURE0 + unit );
}

ScopedSamplerActivation::~ScopedSamplerActivation()
{
	EndScope();
}

void ScopedSamplerActivation::EndScope()
{
	if( !isBound )
		return;
	glActiveTexture( GL_TEXTURE0 );
	isBound = false;
}
}// namespace ffglex
