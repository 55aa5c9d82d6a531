// Which GL objects made after a mark are still alive. The driver hands out
// names in increasing order and never reuses one, so the names given out
// since the mark are exactly the objects made since; glIs* tells which of
// them still exist (the largest name alone proves nothing). Asking only
// about the names since the mark keeps the check cheap enough to make after
// every fuzz input, however many names a long run has handed out before
// (plughost::GLCensus asks about every name from the first).
#pragma once

#include <GL/glcorearb.h>

#include <string>
#include <vector>

namespace glcensus
{
class GLObjectsSince
{
public:
	// Marks the names handed out so far; needs a current context.
	GLObjectsSince();
	// One entry such as "texture 42" per object made after the mark and
	// still alive in the current context.
	std::vector< std::string > Alive() const;

	static constexpr int kKinds = 10;

private:
	GLuint mark[ kKinds ];
};

// Joins a census answer into one line for a failure message.
std::string Describe( const std::vector< std::string >& alive );
}// namespace glcensus
