// Binds a renderbuffer for a scope; ending it binds renderbuffer 0.
#pragma once

#include "FFGLGL.h"

namespace ffglex
{
class ScopedRenderBufferBinding
{
public:
	explicit ScopedRenderBufferBinding( GLuint renderBuffer );
	~ScopedRenderBufferBinding();
	ScopedRenderBufferBinding( const ScopedRenderBufferBinding& ) = delete;
	ScopedRenderBufferBinding& operator=( const ScopedRenderBufferBinding& ) = delete;

	void EndScope();

private:
	bool isBound;
};
}// namespace ffglex
