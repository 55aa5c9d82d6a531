// The cheapest full-viewport draw: one quad, a fragment shader that writes
// its texture coordinate. Timing a plug-in's frame beside this pass, on the
// same target in the same run, gives a figure that survives a noisy machine.
#pragma once

#include <cstdint>

namespace plughost
{
class TrivialPass
{
public:
	// Needs a current GL context; throws Error when the program fails to build.
	TrivialPass();
	~TrivialPass();
	TrivialPass( const TrivialPass& )            = delete;
	TrivialPass& operator=( const TrivialPass& ) = delete;

	// Draws into whatever framebuffer and viewport are bound, then unbinds
	// its program and vertex array. Does not wait for GL to finish.
	void Draw() const;

private:
	uint32_t program     = 0;
	uint32_t vertexArray = 0;
	uint32_t buffer      = 0;

	void Release() noexcept;
};
}// namespace plughost
