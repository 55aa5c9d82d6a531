// The clock object driven directly, for paths a host cannot reach through
// plugMain alone: DeInitGL twice, frames without InitGL.
#include <gtest/gtest.h>

#include <GLContext.h>

#include <dlfcn.h>

#include <set>
#include <vector>

#include "VavoRozar.h"

namespace
{
std::vector< GLuint > deletedTextures;

size_t NonZero( const std::vector< GLuint >& names )
{
	size_t n = 0;
	for( GLuint name : names )
		n += name != 0;
	return n;
}
}// namespace

// The clock is linked into this executable, so its texture deletions come
// through here first; they are recorded and passed on.
extern "C" void glDeleteTextures( GLsizei n, const GLuint* textures )
{
	using Real       = void ( * )( GLsizei, const GLuint* );
	static Real real = reinterpret_cast< Real >( dlsym( RTLD_NEXT, "glDeleteTextures" ) );
	for( GLsizei i = 0; i < n && textures != nullptr; ++i )
		deletedTextures.push_back( textures[ i ] );
	real( n, textures );
}

namespace
{
plughost::GLContext& Context()
{
	static plughost::GLContext context;
	context.MakeCurrent();
	return context;
}
}// namespace

TEST( ClockDirect, SecondDeInitDeletesNoTextureName )
{
	Context();
	VavoRozar clock;
	const FFGLViewportStruct viewport{ 0, 0, 64, 64 };
	ASSERT_EQ( clock.InitGL( &viewport ), FF_SUCCESS );
	deletedTextures.clear();
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
	EXPECT_EQ( NonZero( deletedTextures ), 11u );

	// The names freed above may already belong to someone else.
	deletedTextures.clear();
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
	EXPECT_EQ( NonZero( deletedTextures ), 0u );
}

TEST( ClockDirect, DeInitAfterAFrameRebuildDeletesTheCurrentSet )
{
	Context();
	VavoRozar clock;
	const FFGLViewportStruct viewport{ 0, 0, 1920, 8 };
	ASSERT_EQ( clock.InitGL( &viewport ), FF_SUCCESS );
	deletedTextures.clear();
	EXPECT_EQ( clock.ProcessOpenGL( nullptr ), FF_SUCCESS );// 385 -> 437 wide
	const std::set< GLuint > first( deletedTextures.begin(), deletedTextures.end() );
	EXPECT_EQ( NonZero( deletedTextures ), 11u );
	deletedTextures.clear();
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
	EXPECT_EQ( NonZero( deletedTextures ), 11u );
	for( GLuint name : deletedTextures )
		EXPECT_EQ( first.count( name ), 0u ) << "deleted twice: " << name;
}

TEST( ClockDirect, ReinitialisedAfterDeInitWorksAgain )
{
	Context();
	VavoRozar clock;
	const FFGLViewportStruct viewport{ 0, 0, 32, 32 };
	ASSERT_EQ( clock.InitGL( &viewport ), FF_SUCCESS );
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
	ASSERT_EQ( clock.InitGL( &viewport ), FF_SUCCESS );
	EXPECT_EQ( clock.ProcessOpenGL( nullptr ), FF_SUCCESS );
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
}

TEST( ClockDirect, FrameWithoutInitCreatesNothing )
{
	Context();
	VavoRozar clock;
	GLuint probe = 0;
	glGenTextures( 1, &probe );
	glDeleteTextures( 1, &probe );
	EXPECT_EQ( clock.ProcessOpenGL( nullptr ), FF_SUCCESS );
	GLuint next = 0;
	glGenTextures( 1, &next );
	// No glyph set was made in between: the same name comes back or, on a
	// driver that never reuses names, the very next one.
	EXPECT_LE( next, probe + 1 );
	glDeleteTextures( 1, &next );
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
}

TEST( ClockDirect, MissingViewportIsRefused )
{
	Context();
	VavoRozar clock;
	EXPECT_EQ( clock.InitGL( nullptr ), FF_FAIL );
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
}
