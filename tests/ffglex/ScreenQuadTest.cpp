#include "GLTestSupport.h"
#include "ffglex/FFGLScreenQuad.h"

using namespace ffglex_test;
using ffglex::FFGLScreenQuad;

namespace
{
class ScreenQuadTest : public GLTest
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		program = BuildRawProgram( passThroughVertex, texCoordFragment );
	}
	void TearDown() override
	{
		quad.Release();
		glDeleteProgram( program );
		GLTest::TearDown();
	}

	// Clears to a colour the program never writes (alpha 0), then draws.
	void Draw( RenderTarget& target )
	{
		target.Bind();
		target.Clear( 0, 0, 1, 0 );
		glUseProgram( program );
		quad.Draw();
		glUseProgram( 0 );
	}

	FFGLScreenQuad quad;
	GLuint program = 0;
};

// A pixel centre's texture coordinate, in 8-bit steps.
int Coordinate( int pixel, int size )
{
	return static_cast< int >( ( pixel + 0.5 ) / size * 255.0 + 0.5 );
}
}// namespace

TEST_F( ScreenQuadTest, CoversTheViewportWithOriginBottomLeft )
{
	ASSERT_TRUE( quad.Initialise( false ) );
	const int size = 16;
	RenderTarget target( size, size );
	Draw( target );
	for( int y = 0; y < size; ++y )
		for( int x = 0; x < size; ++x )
		{
			Pixel p = target.Read( x, y );
			ASSERT_NEAR( p[ 0 ], Coordinate( x, size ), 1 ) << x << "," << y;
			ASSERT_NEAR( p[ 1 ], Coordinate( y, size ), 1 ) << x << "," << y;
			ASSERT_EQ( p[ 2 ], 0 );
			ASSERT_EQ( p[ 3 ], 255 );
		}
}

TEST_F( ScreenQuadTest, FlippedTablePutsTheOriginTopLeft )
{
	ASSERT_TRUE( quad.Initialise( true ) );
	const int size = 16;
	RenderTarget target( size, size );
	Draw( target );
	for( int y = 0; y < size; y += 5 )
		for( int x = 0; x < size; x += 5 )
		{
			Pixel p = target.Read( x, y );
			EXPECT_NEAR( p[ 0 ], Coordinate( x, size ), 1 ) << x << "," << y;
			EXPECT_NEAR( p[ 1 ], Coordinate( size - 1 - y, size ), 1 ) << x << "," << y;
			EXPECT_EQ( p[ 3 ], 255 );
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

TEST_F( ScreenQuadTest, ReleasedQuadDrawsNothing )
{
	RenderTarget target( 4, 4 );
	Draw( target );// never initialised
	EXPECT_EQ( target.Read( 1, 1 ), ( Pixel{ 0, 0, 255, 0 } ) );

	ASSERT_TRUE( quad.Initialise() );
	quad.Release();
	quad.Release();
	Draw( target );
	EXPECT_EQ( target.Read( 1, 1 ), ( Pixel{ 0, 0, 255, 0 } ) );

	// And it can be built again afterwards.
	ASSERT_TRUE( quad.Initialise() );
	Draw( target );
	EXPECT_EQ( target.Read( 1, 1 )[ 3 ], 255 );
}

TEST_F( ScreenQuadTest, InitialisingAgainLeaksNothing )
{
	ASSERT_TRUE( quad.Initialise( false ) );
	ASSERT_TRUE( quad.Initialise( true ) );
	ASSERT_TRUE( quad.Initialise( false ) );
	quad.Release();
	// No test leaves buffers or vertex arrays behind, so none may be alive.
	for( GLuint name = 1; name < 512; ++name )
	{
		ASSERT_FALSE( glIsVertexArray( name ) ) << name;
		ASSERT_FALSE( glIsBuffer( name ) ) << name;
	}
}
