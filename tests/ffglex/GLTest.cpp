// The toolkit's GL parts, checked with raw GL (and the host's render target)
// so that the toolkit never checks itself.
#include <GLContext.h>
#include <RenderTarget.h>
#include <gtest/gtest.h>
#include <array>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>
#include "ffglex/FFGLExtensions.h"

using namespace ffglex;
using Pixel = std::array< int, 4 >;

namespace
{
// One integer answer of a glGet-style query.
template< typename Query, typename... Args >
GLint Ask( Query query, Args... args )
{
	GLint value = -1;
	query( args..., &value );
	return value;
}
GLint GetInteger( GLenum name ) { return Ask( glGetIntegerv, name ); }

GLenum DrainErrors()
{
	const GLenum first = glGetError();
	while( glGetError() != GL_NO_ERROR ) {}
	return first;
}

Pixel ReadPixel( const plughost::RenderTarget& target, int x, int y )
{
	unsigned char rgba[ 4 ] = {};
	glBindFramebuffer( GL_READ_FRAMEBUFFER, target.Framebuffer() );
	glReadPixels( x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba );
	return { rgba[ 0 ], rgba[ 1 ], rgba[ 2 ], rgba[ 3 ] };
}

GLint Attached( GLuint program ) { return Ask( glGetProgramiv, program, GLenum( GL_ATTACHED_SHADERS ) ); }

GLint TextureValue( GLuint texture, GLenum name )
{
	glBindTexture( GL_TEXTURE_2D, texture );
	const GLint value = Ask( glGetTexLevelParameteriv, GLenum( GL_TEXTURE_2D ), GLint( 0 ), name );
	glBindTexture( GL_TEXTURE_2D, 0 );
	return value;
}

// A full-viewport triangle from the vertex index alone, with two varyings.
const char* const indexVertex = "#version 410 core\nout float first; out float second;\nvoid main() {\n"
								"first = float( gl_VertexID ) * 2.0 + 1.0; second = -float( gl_VertexID );\n"
								"gl_Position = vec4( float( ( gl_VertexID & 1 ) * 4 - 1 ), float( ( gl_VertexID & 2 ) * 2 - 1 ), 0.0, 1.0 ); }\n";
const char* const uniformFragment = "#version 410 core\nuniform float one; uniform vec2 two; uniform vec3 three; uniform vec4 four;\n"
									"uniform int scale; out vec4 colour;\nvoid main() { colour = vec4( one, two.y - two.x, three.z - three.y, four.w - four.z ) * float( scale ); }\n";
const char* const brokenSource = "#version 410 core\nvoid main() { this is not glsl; }\n";

GLuint RawShader( GLenum type, const char* source )
{
	const GLuint shader = glCreateShader( type );
	glShaderSource( shader, 1, &source, nullptr );
	glCompileShader( shader );
	return shader;
}

// Writes the texture coordinate (attribute 1) as colour.
GLuint BuildTexCoordProgram()
{
	const GLuint program = glCreateProgram(), shaders[] = {
		RawShader( GL_VERTEX_SHADER, "#version 410 core\nlayout( location = 0 ) in vec4 position; layout( location = 1 ) in vec2 texCoord;\n"
									 "out vec2 uv; void main() { gl_Position = position; uv = texCoord; }\n" ),
		RawShader( GL_FRAGMENT_SHADER, "#version 410 core\nin vec2 uv; out vec4 colour; void main() { colour = vec4( uv, 0.0, 1.0 ); }\n" ) };
	for( GLuint shader : shaders )
	{
		glAttachShader( program, shader );
		glDeleteShader( shader );// goes with the program
	}
	glLinkProgram( program );
	return program;
}

// One context per suite; fails any test that leaves a GL error undrained.
class GLTest : public ::testing::Test
{
protected:
	static void SetUpTestSuite() { context = std::make_unique< plughost::GLContext >(); }
	static void TearDownTestSuite() { context.reset(); }
	void SetUp() override
	{
		DrainErrors();
		program = BuildTexCoordProgram();
		glGenVertexArrays( 1, &emptyArray );
	}
	void TearDown() override
	{
		shader.FreeGLResources();
		quad.Release();
		fbo.Release();
		glUseProgram( 0 );// a current program would outlive its deletion
		glDeleteProgram( program );
		glDeleteVertexArrays( 1, &emptyArray );
		EXPECT_EQ( DrainErrors(), GLenum( GL_NO_ERROR ) );
	}
	bool ShaderEmpty() const { return ( shader.GetGLID() | shader.GetVertexShaderID() | shader.GetGeometryShaderID() | shader.GetFragmentShaderID() ) == 0; }
	bool FBOEmpty() const { return ( fbo.GetGLID() | fbo.GetTextureInfo().Width | fbo.GetTextureInfo().Height | fbo.GetTextureInfo().HardwareWidth | fbo.GetTextureInfo().HardwareHeight | fbo.GetTextureInfo().Handle ) == 0; }
	static inline std::unique_ptr< plughost::GLContext > context;
	GLuint program = 0, emptyArray = 0;
	FFGLShader shader;
	FFGLScreenQuad quad;
	FFGLFBO fbo;
};

// A guard binds for its scope and leaves the resting state (unit 0 active,
// nothing bound), not what it found; ended early, its destructor does nothing.
// Only the framebuffer guard can put back what it found (FBO test); told to
// restore the default, it leaves framebuffer 0 bound.
TEST_F( GLTest, GuardsEndInTheRestingState )
{
	plughost::RenderTarget host( 1, 1 ), inner( 1, 1 );
	host.Bind();
	glActiveTexture( GL_TEXTURE0 + 4 );
	{
		ScopedSamplerActivation unit( 3 );
		ScopedShaderBinding binding( program );
		ScopedFBOBinding framebuffer( inner.Framebuffer(), ScopedFBOBinding::RestoreToDefault );
		EXPECT_EQ( std::tuple( GetInteger( GL_ACTIVE_TEXTURE ), GetInteger( GL_CURRENT_PROGRAM ), GetInteger( GL_READ_FRAMEBUFFER_BINDING ) ),
				   std::tuple( GL_TEXTURE0 + 3, GLint( program ), GLint( inner.Framebuffer() ) ) );
		binding.EndScope();
		glUseProgram( program );
	}
	EXPECT_EQ( std::tuple( GetInteger( GL_ACTIVE_TEXTURE ), GetInteger( GL_CURRENT_PROGRAM ), GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ) ),
			   std::tuple( GL_TEXTURE0, GLint( program ), 0 ) );
}

// Texture coordinate (0, 0) at the bottom-left corner, or the top-left one
// when flipped; the pixel centres lie 1/16 in from each edge.
TEST_F( GLTest, QuadCornersInBothOrientationsAndNothingLeftBehind )
{
	plughost::RenderTarget target( 8, 8 );
	target.Clear( 0, 0, 1, 0 );
	glUseProgram( program );
	glBindVertexArray( emptyArray );// Initialise leaves 0 bound whatever it found
	quad.Draw();// never built: draws nothing
	EXPECT_EQ( ReadPixel( target, 4, 4 ), ( Pixel{ 0, 0, 255, 0 } ) );
	for( bool flipped : { false, true } )
	{
		ASSERT_TRUE( quad.Initialise( flipped ) );// the second time frees the first quad
		EXPECT_EQ( GetInteger( GL_VERTEX_ARRAY_BINDING ) + GetInteger( GL_ARRAY_BUFFER_BINDING ), 0 );
		quad.Draw();
		for( int x = 0; x < 2; ++x )
			for( int y = 0; y < 2; ++y )
				EXPECT_EQ( ReadPixel( target, 7 * x, 7 * y ), ( Pixel{ x ? 239 : 16, ( y != 0 ) != flipped ? 239 : 16, 0, 255 } ) ) << x << y << flipped;
	}
	quad.Release();
	quad.Release();
	for( GLuint name = 1; name < 512; ++name )// only the fixture's empty vertex array is alive
		ASSERT_FALSE( ( name != emptyArray && glIsVertexArray( name ) ) || glIsBuffer( name ) ) << name;
}

// Sizes without pixels are refused before any GL call; an incomplete target
// (integer formats take no float transfers) releases what it made.
TEST_F( GLTest, FBOKeepsTheCallersFramebuffersReleasesWhatItMadeAndRetries )
{
	{// the host targets go before the leak check below
		plughost::RenderTarget hostDraw( 1, 1 ), hostRead( 1, 1 );
		glBindFramebuffer( GL_DRAW_FRAMEBUFFER, hostDraw.Framebuffer() );
		glBindFramebuffer( GL_READ_FRAMEBUFFER, hostRead.Framebuffer() );
		glViewport( 5, 7, 100, 100 );
		ASSERT_TRUE( fbo.Initialise( 24, 10, GL_RGBA8 ) );
		const FFGLTextureStruct info = fbo.GetTextureInfo();
		fbo.ResizeViewPort();// its own size at the origin, whatever the host's
		GLint viewport[ 4 ] = {};
		glGetIntegerv( GL_VIEWPORT, viewport );
		EXPECT_EQ( std::tuple( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), GetInteger( GL_READ_FRAMEBUFFER_BINDING ), info.Width, info.Height,
							   info.HardwareWidth, info.HardwareHeight, TextureValue( info.Handle, GL_TEXTURE_INTERNAL_FORMAT ), viewport[ 0 ],
							   viewport[ 1 ], viewport[ 2 ], viewport[ 3 ] ),
				   std::tuple( GLint( hostDraw.Framebuffer() ), GLint( hostRead.Framebuffer() ), 24u, 10u, 24u, 10u, GL_RGBA8, 0, 0, 24, 10 ) );
		const GLuint id = fbo.GetGLID();// refused while ready
		EXPECT_TRUE( !fbo.Initialise( 16, 4, GL_RGBA32F ) && fbo.GetGLID() == id && fbo.GetWidth() == 24 );
		fbo.Release();
		fbo.Release();
		EXPECT_TRUE( FBOEmpty() && !glIsFramebuffer( id ) && !glIsTexture( info.Handle ) );
	}
	ASSERT_TRUE( fbo.Initialise( 4, 4, GL_RGBA32F ) );// any format but RGBA8 is allocated with float transfers
	EXPECT_EQ( TextureValue( fbo.GetTextureInfo().Handle, GL_TEXTURE_RED_TYPE ), GL_FLOAT );
	fbo.Release();
	for( GLsizei size : { 0, -1, -100000 } )
		EXPECT_FALSE( fbo.Initialise( size, 8 ) || fbo.Initialise( 8, size ) );
	EXPECT_TRUE( DrainErrors() == GL_NO_ERROR && FBOEmpty() );
	{
		plughost::RenderTarget host( 1, 1 );
		host.Bind();
		EXPECT_FALSE( fbo.Initialise( 8, 8, GL_RGBA8UI ) );
		DrainErrors();
		EXPECT_TRUE( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ) == GLint( host.Framebuffer() ) && FBOEmpty() );
	}
	for( GLuint name = 1; name < 256; ++name )
		ASSERT_FALSE( glIsRenderbuffer( name ) || glIsFramebuffer( name ) ) << name;
	ASSERT_TRUE( fbo.Initialise( 3, 5 ) );
}

// Unknown or null names change nothing and report nothing; missing text is
// refused quietly, keeping an earlier program.
TEST_F( GLTest, UniformSettersReachTheProgramAndMissingTextIsRefused )
{
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	glUseProgram( shader.GetGLID() );
	testing::internal::CaptureStdout();
	shader.Set( "scale", 1 );
	shader.Set( "one", 0.2f );
	shader.Set( "two", 0.2f, 0.6f );
	shader.Set( "three", 0.0f, 0.2f, 0.8f );
	shader.Set( "four", 0.0f, 0.0f, 0.2f, 1.0f );
	shader.Set( "absent", 1.0f );
	shader.Set( nullptr, 1 );
	EXPECT_EQ( shader.FindUniform( "absent" ) + shader.FindUniform( nullptr ), -2 );
	plughost::RenderTarget target( 2, 2 );
	target.Bind();
	glBindVertexArray( emptyArray );
	glDrawArrays( GL_TRIANGLES, 0, 3 );
	EXPECT_EQ( ReadPixel( target, 1, 1 ), ( Pixel{ 51, 102, 153, 204 } ) );
	EXPECT_FALSE( shader.Compile( indexVertex, "" ) || shader.Compile( nullptr, uniformFragment ) || shader.Compile( std::string(), std::string( uniformFragment ) ) );
	EXPECT_EQ( testing::internal::GetCapturedStdout(), "" );
	EXPECT_TRUE( shader.GetGLID() != 0 && glIsProgram( shader.GetGLID() ) );
}

// Without a fragment stage a program must capture varyings; their names are
// copied, a null one is skipped, and they are captured interleaved.
TEST_F( GLTest, VertexOnlyProgramCapturesVaryingsInterleaved )
{
	std::string second = "second";
	shader.AddTransformFeedbackVarying( "first" );
	shader.AddTransformFeedbackVarying( nullptr );
	shader.AddTransformFeedbackVarying( second );
	second = "gone";
	ASSERT_TRUE( shader.Compile( indexVertex, "" ) );
	char name[ 16 ] = {};
	GLsizei size = 0;
	GLenum type = 0;
	glGetTransformFeedbackVarying( shader.GetGLID(), 1, sizeof name, nullptr, &size, &type, name );
	EXPECT_EQ( std::tuple( Attached( shader.GetGLID() ), Ask( glGetProgramiv, shader.GetGLID(), GLenum( GL_TRANSFORM_FEEDBACK_VARYINGS ) ),
						   Ask( glGetProgramiv, shader.GetGLID(), GLenum( GL_TRANSFORM_FEEDBACK_BUFFER_MODE ) ), std::string( name ) ),
			   std::tuple( 1, 2, GL_INTERLEAVED_ATTRIBS, "second" ) );
}

// Each failing stage prints one message under its prefix, with the
// compiler's log; a link failure is reported under the fragment prefix.
TEST_F( GLTest, GeometryIsOptionalAndEachFailurePrintsOneMessage )
{
	const char* const passGeometry = "#version 410 core\nlayout( triangles ) in; layout( triangle_strip, max_vertices = 3 ) out;\n"
									 "void main() { for( int i = 0; i < 3; ++i ) { gl_Position = gl_in[ i ].gl_Position; EmitVertex(); } }\n";
	ASSERT_TRUE( shader.Compile( indexVertex, passGeometry, uniformFragment ) );
	EXPECT_EQ( Attached( shader.GetGLID() ), 3 );
	ASSERT_TRUE( shader.Compile( indexVertex, "", uniformFragment ) );// the earlier geometry stage must go
	EXPECT_EQ( std::tuple( shader.GetGeometryShaderID(), Attached( shader.GetGLID() ) ), std::tuple( 0u, 2 ) );
	const std::tuple< const char*, const char*, const char*, std::string > cases[] = {
		{ brokenSource, nullptr, uniformFragment, "Vertex" }, { indexVertex, brokenSource, uniformFragment, "Geometry" },
		{ indexVertex, nullptr, brokenSource, "Fragment" }, { indexVertex, nullptr, "#version 410 core\nout vec4 c; void paint() { c = vec4( 1 ); }\n", "Fragment" } };
	for( const auto& [ vertex, geometry, fragment, prefix ] : cases )
	{
		testing::internal::CaptureStdout();
		EXPECT_FALSE( shader.Compile( vertex, geometry, fragment ) );
		const std::string output = testing::internal::GetCapturedStdout(), start = prefix + " Shader error: ";
		EXPECT_TRUE( output.rfind( start, 0 ) == 0 && output.size() > start.size() + 1 && output.back() == '\n' &&
					 output.find( "Shader error", start.size() ) == std::string::npos && ShaderEmpty() )
			<< output;
	}
}

// Compiling again frees the earlier objects first.
TEST_F( GLTest, FreeingAShaderNeverTouchesNamesHandedOutAgain )
{
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	const GLuint earlier[] = { shader.GetGLID(), shader.GetVertexShaderID(), shader.GetFragmentShaderID() };
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	for( GLuint name : earlier )
	{
		const bool reused = name == shader.GetGLID() || name == shader.GetVertexShaderID() || name == shader.GetFragmentShaderID();
		EXPECT_TRUE( reused || ( !glIsProgram( name ) && !glIsShader( name ) ) ) << name;
	}
}

// Any number of printable values; a literal 0 is a number, not a null text.
TEST( Log, WritesOneLineVerbatim )
{
	const char* missing = nullptr;
	testing::internal::CaptureStdout();
	Log( "n=", 3, ' ', 2.5, missing, std::string( " %s" ) );
	Log( missing );
	Log( 42 );
	Log( 2.5 );
	Log( 0 );
	Log( nullptr );
	Log();
	EXPECT_EQ( testing::internal::GetCapturedStdout(), "n=3 2.5 %s\n\n42\n2.5\n0\n\n\n" );
}

// A copy would free the same names twice; a move hands them over and leaves
// the source empty, so owners can live in containers.
TEST_F( GLTest, MovesHandOverTheObjectsAndLeaveTheSourceEmpty )
{
	static_assert( !std::is_copy_constructible_v< FFGLFBO > && !std::is_copy_assignable_v< FFGLFBO > &&
				   std::is_nothrow_move_constructible_v< FFGLFBO > && std::is_nothrow_move_assignable_v< FFGLShader > &&
				   std::is_nothrow_move_constructible_v< FFGLScreenQuad > );
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) && quad.Initialise( false ) && fbo.Initialise( 4, 2 ) );
	const GLuint linked = shader.GetGLID(), framebuffer = fbo.GetGLID();
	std::vector< FFGLShader > shaders;
	shaders.push_back( std::move( shader ) );
	shaders.emplace_back();// moves the first again
	FFGLScreenQuad movedQuad( std::move( quad ) );
	FFGLFBO movedFBO;
	movedFBO = std::move( fbo );
	EXPECT_TRUE( ShaderEmpty() && FBOEmpty() );
	shader.FreeGLResources();// a stale free of the source would delete the moved objects
	EXPECT_EQ( std::tuple( shaders[ 0 ].GetGLID(), glIsProgram( linked ), movedFBO.GetGLID(), movedFBO.GetWidth() ), std::tuple( linked, GLboolean( GL_TRUE ), framebuffer, 4 ) );
	plughost::RenderTarget target( 2, 2 );
	target.Bind();
	target.Clear();
	glUseProgram( program );
	quad.Draw();// empty: draws nothing
	EXPECT_EQ( ReadPixel( target, 1, 1 ), ( Pixel{ 0, 0, 0, 0 } ) );
	movedQuad.Draw();
	EXPECT_EQ( ReadPixel( target, 1, 1 )[ 3 ], 255 );
	shaders[ 0 ].FreeGLResources();
	movedQuad.Release();
	movedFBO.Release();
	EXPECT_FALSE( glIsProgram( linked ) || glIsFramebuffer( framebuffer ) );
}
}// namespace
