#include "FFGLScopedVAOBinding.h"

namespace ffglex
{
ScopedVAOBinding::ScopedVAOBinding( GLuint vertexArray ) :
	isBound( true )
{
	glBindVertexArray( vertexArray );
}

ScopedVAOBinding::~ScopedVAOBinding()
{
	EndScope();
}

void ScopedVAOBinding::EndScope()
{
	if( !isBound )
		return;
	glBindVertexArray( 0 );
	isBound = false;
}
}// namespace ffglex
