#include "GLTestSupport.h"
#include <vector>
#include "ffglex/FFGLLogging.h"
#include "ffglex/FFGLShader.h"

using namespace ffglex_test;
using ffglex::FFGLShader;

namespace
{
// A full-viewport triangle from the vertex index alone: no buffers needed.
const char* const indexVertex = R"(#version 410 core
out float first;
out float second;
void main()
{
	first = float( gl_VertexID ) * 2.0 + 1.0;
	second = -float( gl_VertexID );
	gl_Position = vec4( float( ( gl_VertexID & 1 ) * 4 - 1 ), float( ( gl_VertexID & 2 ) * 2 - 1 ), 0.0, 1.0 );
}
)";
const char* const uniformFragment = R"(#version 410 core
uniform float one; uniform vec2 two; uniform vec3 three; uniform vec4 four; uniform int select;
out vec4 colour;
void main()
{
	colour = select == 1 ? vec4( one, 0, 0, 1 ) : select == 2 ? vec4( two, 0, 1 ) : select == 3 ? vec4( three, 1 ) : four;
}
)";
const char* const brokenSource = "#version 410 core\nvoid main() { this is not glsl; }\n";

class ShaderTest : public GLTest
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		glGenVertexArrays( 1, &emptyArray );
		glBindVertexArray( emptyArray );
	}
	void TearDown() override
	{
		shader.FreeGLResources();
		glBindVertexArray( 0 );
		glDeleteVertexArrays( 1, &emptyArray );
		glUseProgram( 0 );
		GLTest::TearDown();
	}
	Pixel Draw()
	{
		RenderTarget target( 2, 2 );
		glDrawArrays( GL_TRIANGLES, 0, 3 );
		return target.Read( 1, 1 );
	}
	void ExpectEmpty() const
	{
		EXPECT_FALSE( shader.IsReady() );
		EXPECT_EQ( shader.GetGLID() | shader.GetVertexShaderID() | shader.GetGeometryShaderID() | shader.GetFragmentShaderID(), 0u );
	}
	static GLint Attached( GLuint program )
	{
		GLint count = -1;
		glGetProgramiv( program, GL_ATTACHED_SHADERS, &count );
		return count;
	}
	static std::string CompilerLog( GLenum type, const char* source )
	{
		GLuint raw = glCreateShader( type );
		glShaderSource( raw, 1, &source, nullptr );
		glCompileShader( raw );
		char log[ 4096 ] = {};
		glGetShaderInfoLog( raw, sizeof log, nullptr, log );
		glDeleteShader( raw );
		return log;
	}

	FFGLShader shader;
	GLuint emptyArray = 0;
};
}// namespace

TEST_F( ShaderTest, EveryUniformSetterReachesTheProgramInUse )
{
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	EXPECT_EQ( Attached( shader.GetGLID() ), 2 );
	glUseProgram( shader.GetGLID() );
	shader.Set( "select", 1 );
	shader.Set( "one", 0.6f );
	EXPECT_EQ( Draw(), ( Pixel{ 153, 0, 0, 255 } ) );
	shader.Set( "select", 2 );
	shader.Set( "two", 0.2f, 0.4f );
	EXPECT_EQ( Draw(), ( Pixel{ 51, 102, 0, 255 } ) );
	shader.Set( "select", 3 );
	shader.Set( "three", 1.0f, 0.8f, 0.2f );
	EXPECT_EQ( Draw(), ( Pixel{ 255, 204, 51, 255 } ) );
	shader.Set( "select", 4 );
	shader.Set( "four", 0.2f, 0.4f, 0.6f, 0.8f );

	// Unknown names change nothing and report nothing.
	testing::internal::CaptureStdout();
	EXPECT_EQ( shader.FindUniform( "absent" ), -1 );
	EXPECT_EQ( shader.FindUniform( nullptr ), -1 );
	shader.Set( "absent", 1.0f );
	shader.Set( nullptr, 1 );
	EXPECT_EQ( testing::internal::GetCapturedStdout(), "" );
	EXPECT_EQ( Draw(), ( Pixel{ 51, 102, 153, 204 } ) );
}

TEST_F( ShaderTest, MissingTextIsRefusedQuietlyAndKeepsAnEarlierProgram )
{
	testing::internal::CaptureStdout();
	EXPECT_FALSE( shader.Compile( indexVertex, "" ) );
	EXPECT_FALSE( shader.Compile( nullptr, uniformFragment ) );
	EXPECT_FALSE( shader.Compile( std::string(), std::string( uniformFragment ) ) );
	EXPECT_EQ( testing::internal::GetCapturedStdout(), "" );
	ExpectEmpty();

	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	GLuint program = shader.GetGLID();
	EXPECT_FALSE( shader.Compile( indexVertex, nullptr ) );
	EXPECT_EQ( shader.GetGLID(), program );
}

TEST_F( ShaderTest, VertexOnlyProgramCapturesVaryingsInterleaved )
{
	shader.AddTransformFeedbackVarying( "first" );
	shader.AddTransformFeedbackVarying( nullptr );
	shader.AddTransformFeedbackVarying( "second" );
	ASSERT_TRUE( shader.Compile( indexVertex, "" ) );
	EXPECT_EQ( Attached( shader.GetGLID() ), 1 );

	RenderTarget target( 1, 1 );// drawing needs a complete framebuffer
	GLuint buffer = 0;
	glGenBuffers( 1, &buffer );
	glBindBufferBase( GL_TRANSFORM_FEEDBACK_BUFFER, 0, buffer );
	glBufferData( GL_TRANSFORM_FEEDBACK_BUFFER, 6 * sizeof( float ), nullptr, GL_STATIC_READ );
	glUseProgram( shader.GetGLID() );
	glEnable( GL_RASTERIZER_DISCARD );
	glBeginTransformFeedback( GL_POINTS );
	glDrawArrays( GL_POINTS, 0, 3 );
	glEndTransformFeedback();
	glDisable( GL_RASTERIZER_DISCARD );
	std::vector< float > captured( 6 );
	glGetBufferSubData( GL_TRANSFORM_FEEDBACK_BUFFER, 0, 6 * sizeof( float ), captured.data() );
	glDeleteBuffers( 1, &buffer );
	EXPECT_EQ( captured, ( std::vector< float >{ 1, 0, 3, -1, 5, -2 } ) );
}

TEST_F( ShaderTest, GeometryStageIsOptional )
{
	const char* geometry = R"(#version 410 core
layout( triangles ) in;
layout( triangle_strip, max_vertices = 3 ) out;
out vec4 tint;
void main()
{
	for( int i = 0; i < 3; ++i ) { gl_Position = gl_in[ i ].gl_Position; tint = vec4( 0.2, 0, 1, 1 ); EmitVertex(); }
}
)";
	const char* fragment = "#version 410 core\nin vec4 tint; out vec4 colour; void main() { colour = tint; }\n";
	ASSERT_TRUE( shader.Compile( indexVertex, geometry, fragment ) );
	EXPECT_EQ( Attached( shader.GetGLID() ), 3 );
	glUseProgram( shader.GetGLID() );
	EXPECT_EQ( Draw(), ( Pixel{ 51, 0, 255, 255 } ) );

	// Compiled again without one, the earlier geometry stage must be gone.
	ASSERT_TRUE( shader.Compile( indexVertex, "", uniformFragment ) );
	EXPECT_EQ( shader.GetGeometryShaderID(), 0u );
	EXPECT_EQ( Attached( shader.GetGLID() ), 2 );
}

TEST_F( ShaderTest, EachFailurePrintsOneMessageAndLeavesNothing )
{
	struct Case
	{
		const char *vertex, *geometry, *fragment, *expected;
	};
	const std::string vertexLog = CompilerLog( GL_VERTEX_SHADER, brokenSource );
	const std::string geometryLog = CompilerLog( GL_GEOMETRY_SHADER, brokenSource );
	const std::string fragmentLog = CompilerLog( GL_FRAGMENT_SHADER, brokenSource );
	ASSERT_FALSE( vertexLog.empty() );
	const std::string expected[] = { "Vertex Shader error: " + vertexLog + "\n", "Geometry Shader error: " + geometryLog + "\n",
		                             "Fragment Shader error: " + fragmentLog + "\n" };
	const Case cases[] = { { brokenSource, nullptr, uniformFragment, expected[ 0 ].c_str() },
		                   { indexVertex, brokenSource, uniformFragment, expected[ 1 ].c_str() },
		                   { indexVertex, nullptr, brokenSource, expected[ 2 ].c_str() } };
	for( const Case& c : cases )
	{
		testing::internal::CaptureStdout();
		EXPECT_FALSE( shader.Compile( c.vertex, c.geometry, c.fragment ) );
		EXPECT_EQ( testing::internal::GetCapturedStdout(), c.expected );
		ExpectEmpty();
	}

	// Compiles alone, but cannot link without an entry point: reported under
	// the fragment prefix all the same.
	testing::internal::CaptureStdout();
	EXPECT_FALSE( shader.Compile( indexVertex, "#version 410 core\nout vec4 c; void paint() { c = vec4( 1 ); }\n" ) );
	std::string output = testing::internal::GetCapturedStdout();
	EXPECT_EQ( output.rfind( "Fragment Shader error: ", 0 ), 0u ) << output;
	EXPECT_GT( output.size(), 24u );
	ExpectEmpty();
}

TEST_F( ShaderTest, FreeingNeverTouchesNamesHandedOutAgain )
{
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	const GLuint earlier[] = { shader.GetGLID(), shader.GetVertexShaderID(), shader.GetFragmentShaderID() };
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );// frees the earlier objects first
	for( GLuint name : earlier )
	{
		bool reused = name == shader.GetGLID() || name == shader.GetVertexShaderID() || name == shader.GetFragmentShaderID();
		EXPECT_TRUE( reused || ( !glIsProgram( name ) && !glIsShader( name ) ) ) << name;
	}
	shader.FreeGLResources();
	ExpectEmpty();
	FFGLShader other;
	ASSERT_TRUE( other.Compile( indexVertex, uniformFragment ) );
	shader.FreeGLResources();// a stale second free would delete other's objects
	EXPECT_TRUE( glIsProgram( other.GetGLID() ) && glIsShader( other.GetVertexShaderID() ) );
	other.FreeGLResources();
}

TEST( Log, WritesOneLineVerbatim )
{
	const char* missing = nullptr;
	testing::internal::CaptureStdout();
	ffglex::Log( "n=", 3, ' ', 2.5, missing, std::string( " %s" ) );
	ffglex::Log( missing );
	EXPECT_EQ( testing::internal::GetCapturedStdout(), "n=3 2.5 %s\n\n" );
}
