// Binds a buffer object for a scope. Ending the scope binds buffer 0 to the
// same target; the previous binding is not remembered.
#pragma once

#include "FFGLGL.h"

namespace ffglex
{
class ScopedBufferBinding
{
public:
	ScopedBufferBinding( GLenum target, GLuint buffer );
	virtual ~ScopedBufferBinding();
	ScopedBufferBinding( const ScopedBufferBinding& ) = delete;
	ScopedBufferBinding& operator=( const ScopedBufferBinding& ) = delete;

	void EndScope();

private:
	GLenum target;
	bool isBound;
};

class ScopedVBOBinding : public ScopedBufferBinding
{
public:
	explicit ScopedVBOBinding( GLuint buffer );
};

class ScopedIBOBinding : public ScopedBufferBinding
{
public:
	explicit ScopedIBOBinding( GLuint buffer );
};

class ScopedUBOBinding : public ScopedBufferBinding
{
public:
	explicit ScopedUBOBinding( GLuint buffer );
};
}// namespace ffglex
