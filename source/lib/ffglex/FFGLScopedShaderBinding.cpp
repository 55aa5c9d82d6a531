#include "FFGLScopedShaderBinding.h"

namespace ffglex
{
ScopedShaderBinding::ScopedShaderBinding( GLuint program ) :
	isBound( true )
{
	glUseProgram( program );
}

ScopedShaderBinding::~ScopedShaderBinding()
{
	EndScope();
}

void ScopedShaderBinding::EndScope()
{
	if( !isBound )
		return;
	glUseProgram( 0 );
	isBound = false;
}
}// namespace ffglex
