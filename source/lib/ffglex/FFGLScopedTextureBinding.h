// Binds a texture to the active unit for a scope. Ending the scope binds
// texture 0 to the same target; the previous binding is not remembered.
#pragma once

#include "FFGLGL.h"

namespace ffglex
{
class ScopedTextureBinding
{
public:
	ScopedTextureBinding( GLenum target, GLuint texture );
	virtual ~ScopedTextureBinding();
	ScopedTextureBinding( const ScopedTextureBinding& ) = delete;
	ScopedTextureBinding& operator=( const ScopedTextureBinding& ) = delete;

	void EndScope();

private:
	GLenum target;
	bool isBound;
};

class Scoped2DTextureBinding : public ScopedTextureBinding
{
public:
	explicit Scoped2DTextureBinding( GLuint texture );
};
}// namespace ffglex
