// Binds a vertex array object for a scope; ending it binds vertex array 0.
#pragma once

#include "FFGLGL.h"

namespace ffglex
{
class ScopedVAOBinding
{
public:
	explicit ScopedVAOBinding( GLuint vertexArray );
	~ScopedVAOBinding();
	ScopedVAOBinding( const ScopedVAOBinding& ) = delete;
	ScopedVAOBinding& operator=( const ScopedVAOBinding& ) = delete;

	void EndScope();

private:
	bool isBound;
};
}// namespace ffglex
