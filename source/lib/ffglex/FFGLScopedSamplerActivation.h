// Makes a texture unit active for a scope; ending it makes unit 0 active,
// which is the resting state every pass expects.
#pragma once

#include "FFGLGL.h"

namespace ffglex
{
class ScopedSamplerActivation
{
public:
	explicit ScopedSamplerActivation( GLuint unit );
	~ScopedSamplerActivation();
	ScopedSamplerActivation( const ScopedSamplerActivation& ) = delete;
	ScopedSamplerActivation& operator=( const ScopedSamplerActivation& ) = delete;

	void EndScope();

private:
	bool isBound;
};
}// namespace ffglex
