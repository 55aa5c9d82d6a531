// Binds a framebuffer for drawing and reading for a scope. Unlike the other
// guards it can put back the bindings it found, which is what a plug-in
// needs inside a host frame: the host's framebuffer must be bound again.
#pragma once

#include "FFGLGL.h"

namespace ffglex
{
class ScopedFBOBinding
{
public:
	enum RestoreBehaviour
	{
		RestoreToDefault = 0,// end with framebuffer 0 bound
		RestorePrevious = 1  // end with the bindings found at construction
	};

	ScopedFBOBinding( GLuint framebuffer, RestoreBehaviour restoreBehaviour );
	~ScopedFBOBinding();
	ScopedFBOBinding( const ScopedFBOBinding& ) = delete;
	ScopedFBOBinding& operator=( const ScopedFBOBinding& ) = delete;

	void EndScope();

private:
	bool isBound;
	// For RestoreToDefault these stay 0, so ending always rebinds them.
	GLint previousDrawFramebuffer;
	GLint previousReadFramebuffer;
};
}// namespace ffglex
