// Puts a program in use for a scope; ending it leaves no program in use.
#pragma once

#include "FFGLGL.h"

namespace ffglex
{
class ScopedShaderBinding
{
public:
	explicit ScopedShaderBinding( GLuint program );
	~ScopedShaderBinding();
	ScopedShaderBinding( const ScopedShaderBinding& ) = delete;
	ScopedShaderBinding& operator=( const ScopedShaderBinding& ) = delete;

	void EndScope();

private:
	bool isBound;
};
}// namespace ffglex
