#include "GLTestSupport.h"
#include <vector>
#include "ffglex/FFGLShader.h"

using namespace ffglex_test;
using ffglex::FFGLShader;

namespace
{
// A full-viewport triangle from the vertex index alone, so that drawing
// needs no buffers, only an empty vertex array.
const char* const indexVertex = R"(#version 410 core
void main()
{
	vec2 corner = vec2( float( ( gl_VertexID & 1 ) * 4 - 1 ), float( ( gl_VertexID & 2 ) * 2 - 1 ) );
	gl_Position = vec4( corner, 0.0, 1.0 );
}
)";

const char* const uniformFragment = R"(#version 410 core
uniform float one;
uniform vec2 two;
uniform vec3 three;
uniform vec4 four;
uniform int select;
out vec4 colour;
void main()
{
	if( select == 1 )
		colour = vec4( one, 0.0, 0.0, 1.0 );
	else if( select == 2 )
		colour = vec4( two, 0.0, 1.0 );
	else if( select == 3 )
		colour = vec4( three, 1.0 );
	else
		colour = four;
}
)";

const char* const solidFragment = R"(#version 410 core
out vec4 colour;
void main() { colour = vec4( 0.0, 1.0, 0.0, 1.0 ); }
)";

const char* const brokenSource = R"(#version 410 core
void main() { this is not glsl; }
)";

class ShaderTest : public GLTest
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		glGenVertexArrays( 1, &emptyArray );
	}
	void TearDown() override
	{
		shader.FreeGLResources();
		glDeleteVertexArrays( 1, &emptyArray );
		GLTest::TearDown();
	}

	Pixel DrawAndRead( RenderTarget& target )
	{
		target.Bind();
		target.Clear( 0, 0, 0, 0 );
		glBindVertexArray( emptyArray );
		glDrawArrays( GL_TRIANGLES, 0, 3 );
		glBindVertexArray( 0 );
		return target.Read( 2, 2 );
	}

	void ExpectEmpty()
	{
		EXPECT_FALSE( shader.IsReady() );
		EXPECT_EQ( shader.GetGLID(), 0u );
		EXPECT_EQ( shader.GetVertexShaderID(), 0u );
		EXPECT_EQ( shader.GetGeometryShaderID(), 0u );
		EXPECT_EQ( shader.GetFragmentShaderID(), 0u );
	}

	static GLint AttachedCount( GLuint program )
	{
		GLint count = -1;
		glGetProgramiv( program, GL_ATTACHED_SHADERS, &count );
		return count;
	}

	FFGLShader shader;
	GLuint emptyArray = 0;
};

std::vector< float > CaptureVertexOutputs( GLuint program, int vertices, int floatsPerVertex )
{
	// Drawing needs a complete framebuffer even when nothing is rasterised.
	RenderTarget target( 1, 1 );
	GLuint buffer = 0, array = 0;
	glGenBuffers( 1, &buffer );
	glGenVertexArrays( 1, &array );
	glBindBuffer( GL_TRANSFORM_FEEDBACK_BUFFER, buffer );
	glBufferData( GL_TRANSFORM_FEEDBACK_BUFFER, vertices * floatsPerVertex * sizeof( float ), nullptr, GL_STATIC_READ );
	glBindBufferBase( GL_TRANSFORM_FEEDBACK_BUFFER, 0, buffer );

	glUseProgram( program );
	glBindVertexArray( array );
	glEnable( GL_RASTERIZER_DISCARD );
	glBeginTransformFeedback( GL_POINTS );
	glDrawArrays( GL_POINTS, 0, vertices );
	glEndTransformFeedback();
	glDisable( GL_RASTERIZER_DISCARD );
	glBindVertexArray( 0 );
	glUseProgram( 0 );

	std::vector< float > captured( static_cast< size_t >( vertices * floatsPerVertex ), -1.0f );
	glGetBufferSubData( GL_TRANSFORM_FEEDBACK_BUFFER, 0, captured.size() * sizeof( float ), captured.data() );
	glBindBufferBase( GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0 );
	glBindBuffer( GL_TRANSFORM_FEEDBACK_BUFFER, 0 );
	glDeleteVertexArrays( 1, &array );
	glDeleteBuffers( 1, &buffer );
	return captured;
}
}// namespace

TEST_F( ShaderTest, EveryUniformSetterReachesTheProgram )
{
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	EXPECT_EQ( AttachedCount( shader.GetGLID() ), 2 );
	RenderTarget target( 4, 4 );
	glUseProgram( shader.GetGLID() );

	shader.Set( "select", 1 );
	shader.Set( "one", 0.6f );
	EXPECT_EQ( DrawAndRead( target ), ( Pixel{ 153, 0, 0, 255 } ) );

	shader.Set( "select", 2 );
	shader.Set( "two", 0.2f, 0.4f );
	EXPECT_EQ( DrawAndRead( target ), ( Pixel{ 51, 102, 0, 255 } ) );

	shader.Set( "select", 3 );
	shader.Set( "three", 1.0f, 0.8f, 0.2f );
	EXPECT_EQ( DrawAndRead( target ), ( Pixel{ 255, 204, 51, 255 } ) );

	shader.Set( "select", 4 );
	shader.Set( "four", 0.2f, 0.4f, 0.6f, 0.8f );
	EXPECT_EQ( DrawAndRead( target ), ( Pixel{ 51, 102, 153, 204 } ) );
}

TEST_F( ShaderTest, UnknownUniformIsIgnoredSilently )
{
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	RenderTarget target( 4, 4 );
	glUseProgram( shader.GetGLID() );
	shader.Set( "select", 4 );
	shader.Set( "four", 0.2f, 0.4f, 0.6f, 0.8f );

	StdoutCapture capture;
	EXPECT_EQ( shader.FindUniform( "absent" ), -1 );
	EXPECT_EQ( shader.FindUniform( nullptr ), -1 );
	EXPECT_GE( shader.FindUniform( "four" ), 0 );
	shader.Set( "absent", 1.0f );
	shader.Set( "absent", 1 );
	shader.Set( nullptr, 0.0f, 0.0f, 0.0f, 0.0f );
	EXPECT_EQ( capture.Finish(), "" );
	EXPECT_EQ( DrawAndRead( target ), ( Pixel{ 51, 102, 153, 204 } ) );
}

TEST_F( ShaderTest, MissingTextIsRefusedWithoutGLObjectsOrMessages )
{
	StdoutCapture capture;
	EXPECT_FALSE( shader.Compile( indexVertex, "" ) );
	EXPECT_FALSE( shader.Compile( indexVertex, nullptr ) );
	EXPECT_FALSE( shader.Compile( "", solidFragment ) );
	EXPECT_FALSE( shader.Compile( nullptr, solidFragment ) );
	EXPECT_FALSE( shader.Compile( std::string(), std::string( solidFragment ) ) );
	EXPECT_EQ( capture.Finish(), "" );
	ExpectEmpty();
}

TEST_F( ShaderTest, MissingTextKeepsAProgramAlreadyBuilt )
{
	ASSERT_TRUE( shader.Compile( indexVertex, solidFragment ) );
	GLuint program = shader.GetGLID();
	EXPECT_FALSE( shader.Compile( indexVertex, "" ) );
	EXPECT_EQ( shader.GetGLID(), program );
	EXPECT_TRUE( glIsProgram( program ) );
}

TEST_F( ShaderTest, VertexOnlyProgramCapturesVaryingsInterleaved )
{
	const char* vertex = R"(#version 410 core
out float first;
out float second;
void main()
{
	first = float( gl_VertexID ) * 2.0 + 1.0;
	second = -float( gl_VertexID );
	gl_Position = vec4( 0.0 );
}
)";
	shader.AddTransformFeedbackVarying( "first" );
	shader.AddTransformFeedbackVarying( nullptr );
	shader.AddTransformFeedbackVarying( "second" );
	ASSERT_TRUE( shader.Compile( vertex, "" ) );
	EXPECT_EQ( shader.GetFragmentShaderID(), 0u );
	EXPECT_EQ( AttachedCount( shader.GetGLID() ), 1 );

	GLint mode = 0;
	glGetProgramiv( shader.GetGLID(), GL_TRANSFORM_FEEDBACK_BUFFER_MODE, &mode );
	EXPECT_EQ( mode, GL_INTERLEAVED_ATTRIBS );
	std::vector< float > expected = { 1, 0, 3, -1, 5, -2 };
	EXPECT_EQ( CaptureVertexOutputs( shader.GetGLID(), 3, 2 ), expected );
}

TEST_F( ShaderTest, ThreeStageFormLeavesOutAnEmptyGeometryStage )
{
	ASSERT_TRUE( shader.Compile( indexVertex, "", solidFragment ) );
	EXPECT_EQ( shader.GetGeometryShaderID(), 0u );
	EXPECT_EQ( AttachedCount( shader.GetGLID() ), 2 );
	shader.FreeGLResources();
	ASSERT_TRUE( shader.Compile( indexVertex, nullptr, solidFragment ) );
	EXPECT_EQ( AttachedCount( shader.GetGLID() ), 2 );
}

TEST_F( ShaderTest, GeometryStageTakesPartInDrawing )
{
	const char* geometry = R"(#version 410 core
layout( triangles ) in;
layout( triangle_strip, max_vertices = 3 ) out;
out vec4 tint;
void main()
{
	for( int i = 0; i < 3; ++i )
	{
		gl_Position = gl_in[ i ].gl_Position;
		tint = vec4( 0.2, 0.0, 1.0, 1.0 );
		EmitVertex();
	}
	EndPrimitive();
}
)";
	const char* fragment = R"(#version 410 core
in vec4 tint;
out vec4 colour;
void main() { colour = tint; }
)";
	ASSERT_TRUE( shader.Compile( indexVertex, geometry, fragment ) );
	EXPECT_NE( shader.GetGeometryShaderID(), 0u );
	EXPECT_EQ( AttachedCount( shader.GetGLID() ), 3 );
	RenderTarget target( 4, 4 );
	glUseProgram( shader.GetGLID() );
	EXPECT_EQ( DrawAndRead( target ), ( Pixel{ 51, 0, 255, 255 } ) );
}

TEST_F( ShaderTest, CompileErrorsPrintOneMessagePerStage )
{
	struct Case
	{
		const char* vertex;
		const char* geometry;
		const char* fragment;
		GLenum failingType;
		const char* prefix;
	};
	const Case cases[] = {
		{ brokenSource, nullptr, solidFragment, GL_VERTEX_SHADER, "Vertex Shader error: " },
		{ indexVertex, brokenSource, solidFragment, GL_GEOMETRY_SHADER, "Geometry Shader error: " },
		{ indexVertex, nullptr, brokenSource, GL_FRAGMENT_SHADER, "Fragment Shader error: " },
	};
	for( const Case& c : cases )
	{
		std::string compilerLog = RawCompileLog( c.failingType, brokenSource );
		ASSERT_FALSE( compilerLog.empty() );
		StdoutCapture capture;
		EXPECT_FALSE( shader.Compile( c.vertex, c.geometry, c.fragment ) );
		EXPECT_EQ( capture.Finish(), c.prefix + compilerLog + "\n" );
		ExpectEmpty();
	}
	// A failed object can be compiled again.
	EXPECT_TRUE( shader.Compile( indexVertex, solidFragment ) );
}

TEST_F( ShaderTest, LinkErrorIsReportedUnderTheFragmentPrefix )
{
	// Compiles on its own, but a program cannot link without an entry point.
	const char* fragment = R"(#version 410 core
out vec4 colour;
void paint() { colour = vec4( 1.0 ); }
)";
	ASSERT_EQ( RawCompileLog( GL_FRAGMENT_SHADER, fragment ).find( "error" ), std::string::npos );
	StdoutCapture capture;
	EXPECT_FALSE( shader.Compile( indexVertex, fragment ) );
	std::string output = capture.Finish();
	EXPECT_EQ( output.rfind( "Fragment Shader error: ", 0 ), 0u ) << output;
	EXPECT_GT( output.size(), std::string( "Fragment Shader error: \n" ).size() );
	EXPECT_EQ( output.back(), '\n' );
	ExpectEmpty();
}

TEST_F( ShaderTest, FreeingTwiceLeavesOtherObjectsAlone )
{
	ASSERT_TRUE( shader.Compile( indexVertex, solidFragment ) );
	shader.FreeGLResources();
	EXPECT_FALSE( shader.IsReady() );
	EXPECT_EQ( shader.GetGLID(), 0u );

	// Freed names may be handed out again; a stale second free would delete them.
	FFGLShader other;
	ASSERT_TRUE( other.Compile( indexVertex, solidFragment ) );
	shader.FreeGLResources();
	EXPECT_TRUE( glIsProgram( other.GetGLID() ) );
	EXPECT_TRUE( glIsShader( other.GetVertexShaderID() ) );
	EXPECT_TRUE( glIsShader( other.GetFragmentShaderID() ) );
	other.FreeGLResources();
}

TEST_F( ShaderTest, CompilingAgainFreesTheEarlierProgram )
{
	ASSERT_TRUE( shader.Compile( indexVertex, solidFragment ) );
	const GLuint earlier[] = { shader.GetGLID(), shader.GetVertexShaderID(), shader.GetFragmentShaderID() };
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	const GLuint current[] = { shader.GetGLID(), shader.GetVertexShaderID(), shader.GetFragmentShaderID() };
	for( GLuint name : earlier )
	{
		bool reused = name == current[ 0 ] || name == current[ 1 ] || name == current[ 2 ];
		EXPECT_TRUE( reused || ( !glIsProgram( name ) && !glIsShader( name ) ) ) << name;
	}
	EXPECT_GE( shader.FindUniform( "four" ), 0 );
}
