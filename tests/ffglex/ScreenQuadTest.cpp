#include "GLTestSupport.h"
#include "ffglex/FFGLScreenQuad.h"

using namespace ffglex_test;

namespace
{
class ScreenQuadTest : public GLTest
{
protected:
	void TearDown() override
	{
		quad.Release();
		glUseProgram( 0 );
		glDeleteProgram( program );
		GLTest::TearDown();
	}
	GLuint program = BuildRawProgram( texCoordVertex, texCoordFragment );
	ffglex::FFGLScreenQuad quad;
};
}// namespace

TEST_F( ScreenQuadTest, CoversTheViewportInBothOrientations )
{
	const int size = 8;
	for( bool flipped : { false, true } )
	{
		ASSERT_TRUE( quad.Initialise( flipped ) );
		RenderTarget target( size, size );
		glUseProgram( program );
		quad.Draw();
		for( int y = 0; y < size; ++y )
			for( int x = 0; x < size; ++x )
			{
				// Pixel centres in texture space, origin bottom-left unless flipped.
				int u = int( ( x + 0.5 ) / size * 255 + 0.5 ), v = int( ( y + 0.5 ) / size * 255 + 0.5 );
				Pixel p = target.Read( x, y );
				ASSERT_NEAR( p[ 0 ], u, 1 ) << x << "," << y;
				ASSERT_NEAR( p[ 1 ], flipped ? 255 - v : v, 1 ) << x << "," << y << " flipped " << flipped;
				ASSERT_EQ( p[ 3 ], 255 );
			}
		quad.Release();
	}
}

TEST_F( ScreenQuadTest, InitialiseLeavesNothingBound )
{
	GLuint array = 0, buffer = 0;
	glGenVertexArrays( 1, &array );
	glGenBuffers( 1, &buffer );
	glBindVertexArray( array );
	glBindBuffer( GL_ARRAY_BUFFER, buffer );
	ASSERT_TRUE( quad.Initialise() );
	EXPECT_EQ( GetInteger( GL_VERTEX_ARRAY_BINDING ), 0 );
	EXPECT_EQ( GetInteger( GL_ARRAY_BUFFER_BINDING ), 0 );
	glDeleteBuffers( 1, &buffer );
	glDeleteVertexArrays( 1, &array );
}

TEST_F( ScreenQuadTest, ReleasedQuadDrawsNothingAndLeaksNothing )
{
	RenderTarget target( 2, 2 );
	glUseProgram( program );
	quad.Draw();// never built
	ASSERT_TRUE( quad.Initialise( false ) );
	ASSERT_TRUE( quad.Initialise( true ) );// rebuilding frees the first one
	quad.Release();
	quad.Release();
	quad.Draw();
	EXPECT_EQ( target.Read( 1, 1 ), ( Pixel{ 0, 0, 255, 0 } ) );
	// No test leaves buffers or vertex arrays behind, so none may be alive.
	for( GLuint name = 1; name < 512; ++name )
		ASSERT_FALSE( glIsVertexArray( name ) || glIsBuffer( name ) ) << name;
}
