#include "FFGLScreenQuad.h"

#include <cassert>
#include <cstdint>
#include <utility>
#include "FFGLScopedVAOBinding.h"
#include "FFGLScopedBufferBinding.h"

namespace ffglex
{
namespace
{
constexpr GLsizei quadVertexCount_ = 6;
constexpr GLsizei quadStride_ = 5 * sizeof( float );
constexpr uintptr_t quadTexCoordOffset_ = 0;
constexpr uintptr_t quadPositionOffset_ = 2 * sizeof( float );
static_assert( sizeof( TEXTURED_QUAD_VERTICES ) == 120 && sizeof( FLIPPED_TEXTURED_QUAD_VERTICES ) == 120,
               "six vertices of five floats" );
}// namespace

FFGLScreenQuad::FFGLScreenQuad() :
	vaoID( 0 ),
	vboID( 0 )
{
}

FFGLScreenQuad::FFGLScreenQuad( FFGLScreenQuad&& other ) noexcept :
	vaoID( std::exchange( other.vaoID, 0 ) ),
	vboID( std::exchange( other.vboID, 0 ) )
{
}

FFGLScreenQuad& FFGLScreenQuad::operator=( FFGLScreenQuad&& other ) noexcept
{
	if( this != &other )
	{
		assert( vaoID == 0 && vboID == 0 );
		vaoID = std::exchange( other.vaoID, 0 );
		vboID = std::exchange( other.vboID, 0 );
	}
	return *this;
}

FFGLScreenQuad::~FFGLScreenQuad()
{
	// The destructor cannot count on a current context, so the owner frees.
	assert( vaoID == 0 );
	assert( vboID == 0 );
}

bool FFGLScreenQuad::Initialise( bool flipped )
{
	// Names from an earlier Initialise would otherwise be overwritten and leak.
	Release();

	glGenVertexArrays( 1, &vaoID );
	glGenBuffers( 1, &vboID );
	if( vaoID == 0 || vboID == 0 )
	{
		Release();
		return false;
	}

	ScopedVAOBinding vaoBinding( vaoID );
	ScopedVBOBinding vboBinding( vboID );
	const float* vertices = flipped ? FLIPPED_TEXTURED_QUAD_VERTICES : TEXTURED_QUAD_VERTICES;
	glBufferData( GL_ARRAY_BUFFER, sizeof( TEXTURED_QUAD_VERTICES ), vertices, GL_STATIC_DRAW );

	glEnableVertexAttribArray( 0 );
	glVertexAttribPointer( 0, 3, GL_FLOAT, GL_FALSE, quadStride_, reinterpret_cast< const void* >( quadPositionOffset_ ) );
	glEnableVertexAttribArray( 1 );
	glVertexAttribPointer( 1, 2, GL_FLOAT, GL_FALSE, quadStride_, reinterpret_cast< const void* >( quadTexCoordOffset_ ) );

	// The buffer binding is not part of the vertex array state: end it first.
	vboBinding.EndScope();
	vaoBinding.EndScope();
	return true;
}

void FFGLScreenQuad::Draw()
{
	if( vaoID == 0 || vboID == 0 )
		return;
	ScopedVAOBinding vaoBinding( vaoID );
	glDrawArrays( GL_TRIANGLES, 0, quadVertexCount_ );
}

void FFGLScreenQuad::Release()
{
	if( vboID != 0 )
	{
		glDeleteBuffers( 1, &vboID );
		vboID = 0;
	}
	if( vaoID != 0 )
	{
		glDeleteVertexArrays( 1, &vaoID );
		vaoID = 0;
	}
}
}// namespace ffglex
