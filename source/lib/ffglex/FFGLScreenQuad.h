// A rectangle over the whole viewport: two triangles in one vertex buffer and
// one vertex array. Programs drawn with it read the clip-space position at
// attribute location 0 and the texture coordinate at location 1.
#pragma once

#include "FFGLGL.h"

namespace ffglex
{
// Six vertices of u, v, x, y, z; texture origin at the bottom-left corner.
inline constexpr float TEXTURED_QUAD_VERTICES[ 30 ] = {
	0.0f, 1.0f, -1.0f, 1.0f, 0.0f,
	1.0f, 1.0f, 1.0f, 1.0f, 0.0f,
	0.0f, 0.0f, -1.0f, -1.0f, 0.0f,
	0.0f, 0.0f, -1.0f, -1.0f, 0.0f,
	1.0f, 1.0f, 1.0f, 1.0f, 0.0f,
	1.0f, 0.0f, 1.0f, -1.0f, 0.0f,
};
// The same positions with v mirrored: texture origin at the top-left corner.
inline constexpr float FLIPPED_TEXTURED_QUAD_VERTICES[ 30 ] = {
	0.0f, 0.0f, -1.0f, 1.0f, 0.0f,
	1.0f, 0.0f, 1.0f, 1.0f, 0.0f,
	0.0f, 1.0f, -1.0f, -1.0f, 0.0f,
	0.0f, 1.0f, -1.0f, -1.0f, 0.0f,
	1.0f, 0.0f, 1.0f, 1.0f, 0.0f,
	1.0f, 1.0f, 1.0f, -1.0f, 0.0f,
};

class FFGLScreenQuad
{
public:
	FFGLScreenQuad();
	// Makes no GL call; Release must have run.
	~FFGLScreenQuad();
	FFGLScreenQuad( const FFGLScreenQuad& ) = delete;
	FFGLScreenQuad& operator=( const FFGLScreenQuad& ) = delete;
	// Hands the GL objects over and leaves the source empty. The target of a
	// move assignment must hold none (released), as for destruction.
	FFGLScreenQuad( FFGLScreenQuad&& other ) noexcept;
	FFGLScreenQuad& operator=( FFGLScreenQuad&& other ) noexcept;

	// Builds the vertex array and buffer; a quad built earlier is released
	// first. Leaves vertex array 0 and array buffer 0 bound.
	bool Initialise( bool flipped = false );
	// Draws the two triangles with whatever program the caller has bound;
	// does nothing unless initialised.
	void Draw();
	// Deletes the GL objects; harmless when there are none.
	void Release();

private:
	GLuint vaoID;
	GLuint vboID;
};
}// namespace ffglex
