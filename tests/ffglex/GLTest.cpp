// The toolkit's GL parts, checked with raw GL (and the host's render target)
// so that the toolkit never checks itself.
#include <GLContext.h>
#include <RenderTarget.h>
#include <gtest/gtest.h>
#include <array>
#include <memory>
#include <vector>
#include "ffglex/FFGLExtensions.h"

using namespace ffglex;
using Pixel = std::array< int, 4 >;

namespace
{
GLint GetInteger( GLenum name )
{
	GLint value = -1;
	glGetIntegerv( name, &value );
	return value;
}

GLenum DrainErrors()
{
	const GLenum first = glGetError();
	while( glGetError() != GL_NO_ERROR )
	{
	}
	return first;
}

Pixel ReadPixel( const plughost::RenderTarget& target, int x, int y )
{
	unsigned char rgba[ 4 ] = {};
	glBindFramebuffer( GL_READ_FRAMEBUFFER, target.Framebuffer() );
	glReadPixels( x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba );
	return { rgba[ 0 ], rgba[ 1 ], rgba[ 2 ], rgba[ 3 ] };
}

GLint Attached( GLuint program )
{
	GLint count = -1;
	glGetProgramiv( program, GL_ATTACHED_SHADERS, &count );
	return count;
}

GLint TextureValue( GLuint texture, GLenum name )
{
	GLint value = -1;
	glBindTexture( GL_TEXTURE_2D, texture );
	glGetTexLevelParameteriv( GL_TEXTURE_2D, 0, name, &value );
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

// While the guard lives its object is bound; afterwards `base` is, not what
// it found. Ended early, its destructor leaves alone what was bound in between.
template< typename Guard, typename... Args >
void CheckGuard( GLenum query, GLuint name, GLuint other, GLuint base, void ( *bind )( GLuint ), Args... args )
{
	bind( other );
	{
		Guard guard( args... );
		EXPECT_EQ( GetInteger( query ), GLint( name ) ) << query;
	}
	EXPECT_EQ( GetInteger( query ), GLint( base ) ) << query;
	{
		Guard guard( args... );
		guard.EndScope();
		EXPECT_EQ( GetInteger( query ), GLint( base ) ) << query;
		bind( other );
	}
	EXPECT_EQ( GetInteger( query ), GLint( other ) ) << query;
	bind( base );
}

TEST_F( GLTest, EveryGuardBindsForItsScopeOnlyAndTheFramebufferOneRestores )
{
	GLuint arrays[ 2 ], buffers[ 2 ], textures[ 2 ], renderBuffers[ 2 ];
	glGenVertexArrays( 2, arrays );
	glGenBuffers( 2, buffers );
	glGenTextures( 2, textures );
	glGenRenderbuffers( 2, renderBuffers );
	const GLuint b = buffers[ 0 ], b2 = buffers[ 1 ], t = textures[ 0 ], t2 = textures[ 1 ];
	glBindVertexArray( arrays[ 1 ] );// holds the element buffer binding
	CheckGuard< ScopedVBOBinding >( GL_ARRAY_BUFFER_BINDING, b, b2, 0, []( GLuint n ) { glBindBuffer( GL_ARRAY_BUFFER, n ); }, b );
	CheckGuard< ScopedIBOBinding >( GL_ELEMENT_ARRAY_BUFFER_BINDING, b, b2, 0, []( GLuint n ) { glBindBuffer( GL_ELEMENT_ARRAY_BUFFER, n ); }, b );
	auto bindUniform = []( GLuint n ) { glBindBuffer( GL_UNIFORM_BUFFER, n ); };
	CheckGuard< ScopedUBOBinding >( GL_UNIFORM_BUFFER_BINDING, b, b2, 0, bindUniform, b );
	CheckGuard< ScopedBufferBinding >( GL_UNIFORM_BUFFER_BINDING, b, b2, 0, bindUniform, GLenum( GL_UNIFORM_BUFFER ), b );
	auto bindTexture = []( GLuint n ) { glBindTexture( GL_TEXTURE_2D, n ); };
	CheckGuard< Scoped2DTextureBinding >( GL_TEXTURE_BINDING_2D, t, t2, 0, bindTexture, t );
	CheckGuard< ScopedTextureBinding >( GL_TEXTURE_BINDING_2D, t, t2, 0, bindTexture, GLenum( GL_TEXTURE_2D ), t );
	CheckGuard< ScopedShaderBinding >( GL_CURRENT_PROGRAM, program, program, 0, []( GLuint n ) { glUseProgram( n ); }, program );
	CheckGuard< ScopedVAOBinding >( GL_VERTEX_ARRAY_BINDING, arrays[ 0 ], arrays[ 1 ], 0, []( GLuint n ) { glBindVertexArray( n ); }, arrays[ 0 ] );
	CheckGuard< ScopedRenderBufferBinding >( GL_RENDERBUFFER_BINDING, renderBuffers[ 0 ], renderBuffers[ 1 ], 0,
											 []( GLuint n ) { glBindRenderbuffer( GL_RENDERBUFFER, n ); }, renderBuffers[ 0 ] );
	CheckGuard< ScopedSamplerActivation >( GL_ACTIVE_TEXTURE, GL_TEXTURE0 + 3, GL_TEXTURE0 + 4, GL_TEXTURE0,
										   []( GLuint n ) { glActiveTexture( n ); }, 3u );
	glDeleteRenderbuffers( 2, renderBuffers );
	glDeleteTextures( 2, textures );
	glDeleteBuffers( 2, buffers );
	glDeleteVertexArrays( 2, arrays );

	plughost::RenderTarget draw( 1, 1 ), read( 1, 1 ), inner( 1, 1 );
	for( auto behaviour : { ScopedFBOBinding::RestorePrevious, ScopedFBOBinding::RestoreToDefault } )
	{
		glBindFramebuffer( GL_DRAW_FRAMEBUFFER, draw.Framebuffer() );
		glBindFramebuffer( GL_READ_FRAMEBUFFER, read.Framebuffer() );
		{
			ScopedFBOBinding binding( inner.Framebuffer(), behaviour );
			EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ) + GetInteger( GL_READ_FRAMEBUFFER_BINDING ), GLint( 2 * inner.Framebuffer() ) );
		}
		const bool restore = behaviour == ScopedFBOBinding::RestorePrevious;
		EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), restore ? GLint( draw.Framebuffer() ) : 0 );
		EXPECT_EQ( GetInteger( GL_READ_FRAMEBUFFER_BINDING ), restore ? GLint( read.Framebuffer() ) : 0 );
	}
}

TEST_F( GLTest, QuadCornersInBothOrientationsAndNothingLeftBehind )
{
	GLuint buffer = 0;
	glGenBuffers( 1, &buffer );
	glBindVertexArray( emptyArray );
	glBindBuffer( GL_ARRAY_BUFFER, buffer );
	plughost::RenderTarget target( 8, 8 );
	target.Clear( 0, 0, 1, 0 );
	glUseProgram( program );
	quad.Draw();// never built: draws nothing
	EXPECT_EQ( ReadPixel( target, 4, 4 ), ( Pixel{ 0, 0, 255, 0 } ) );
	for( bool flipped : { false, true } )
	{
		ASSERT_TRUE( quad.Initialise( flipped ) );// the second time frees the first quad
		EXPECT_EQ( GetInteger( GL_VERTEX_ARRAY_BINDING ) + GetInteger( GL_ARRAY_BUFFER_BINDING ), 0 );
		quad.Draw();
		for( int corner = 0; corner < 4; ++corner )// pixel centres 1/16 in from each edge; v runs down when flipped
		{
			const int x = corner & 1, y = corner >> 1, u = x ? 239 : 16, v = ( y != 0 ) != flipped ? 239 : 16;
			const Pixel p = ReadPixel( target, 7 * x, 7 * y );
			EXPECT_TRUE( std::abs( p[ 0 ] - u ) <= 1 && std::abs( p[ 1 ] - v ) <= 1 && p[ 2 ] == 0 && p[ 3 ] == 255 ) << corner << flipped;
		}
	}
	quad.Release();
	quad.Release();
	glDeleteBuffers( 1, &buffer );
	for( GLuint name = 1; name < 512; ++name )// only the fixture's empty vertex array is alive
		ASSERT_FALSE( ( name != emptyArray && glIsVertexArray( name ) ) || glIsBuffer( name ) ) << name;
}

TEST_F( GLTest, FBOKeepsTheCallersFramebuffersReleasesWhatItMadeAndRetries )
{
	{// the host targets go before the leak check below
		plughost::RenderTarget hostDraw( 1, 1 ), hostRead( 1, 1 );
		glBindFramebuffer( GL_DRAW_FRAMEBUFFER, hostDraw.Framebuffer() );
		glBindFramebuffer( GL_READ_FRAMEBUFFER, hostRead.Framebuffer() );
		glViewport( 5, 7, 100, 100 );
		ASSERT_TRUE( fbo.Initialise( 24, 10, GL_RGBA8 ) );
		EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), GLint( hostDraw.Framebuffer() ) );
		EXPECT_EQ( GetInteger( GL_READ_FRAMEBUFFER_BINDING ), GLint( hostRead.Framebuffer() ) );
		const FFGLTextureStruct info = fbo.GetTextureInfo();
		EXPECT_TRUE( info.Width == 24 && info.Height == 10 && info.HardwareWidth == 24 && info.HardwareHeight == 10 );
		EXPECT_EQ( TextureValue( info.Handle, GL_TEXTURE_WIDTH ), 24 );
		EXPECT_EQ( TextureValue( info.Handle, GL_TEXTURE_INTERNAL_FORMAT ), GL_RGBA8 );
		glBindFramebuffer( GL_FRAMEBUFFER, fbo.GetGLID() );
		EXPECT_EQ( glCheckFramebufferStatus( GL_FRAMEBUFFER ), GLenum( GL_FRAMEBUFFER_COMPLETE ) );
		GLint depthType = 0;
		glGetFramebufferAttachmentParameteriv( GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &depthType );
		EXPECT_EQ( depthType, GL_RENDERBUFFER );
		fbo.ResizeViewPort();// its own size at the origin, whatever the host's
		GLint viewport[ 4 ] = {};
		glGetIntegerv( GL_VIEWPORT, viewport );
		EXPECT_TRUE( viewport[ 0 ] == 0 && viewport[ 1 ] == 0 && viewport[ 2 ] == 24 && viewport[ 3 ] == 10 );
		// Refused while ready; Release empties it and deletes what it made.
		const GLuint id = fbo.GetGLID();
		EXPECT_FALSE( fbo.Initialise( 16, 4, GL_RGBA32F ) );
		EXPECT_TRUE( fbo.GetGLID() == id && fbo.GetWidth() == 24 && fbo.GetHeight() == 10 );
		fbo.Release();
		fbo.Release();
		EXPECT_TRUE( FBOEmpty() );
		EXPECT_FALSE( glIsFramebuffer( id ) || glIsTexture( info.Handle ) );
	}

	ASSERT_TRUE( fbo.Initialise( 4, 4, GL_RGBA32F ) );
	EXPECT_EQ( TextureValue( fbo.GetTextureInfo().Handle, GL_TEXTURE_RED_TYPE ), GL_FLOAT );
	glBindFramebuffer( GL_FRAMEBUFFER, fbo.GetGLID() );
	glClearColor( 2.5f, -1.0f, 0.25f, 1.0f );
	glClear( GL_COLOR_BUFFER_BIT );
	float rgba[ 4 ] = {};
	glReadPixels( 1, 1, 1, 1, GL_RGBA, GL_FLOAT, rgba );
	EXPECT_TRUE( rgba[ 0 ] == 2.5f && rgba[ 1 ] == -1.0f && rgba[ 2 ] == 0.25f );
	fbo.Release();

	for( GLsizei size : { 0, -1, -100000 } )
		EXPECT_FALSE( fbo.Initialise( size, 8 ) || fbo.Initialise( 8, size ) );
	EXPECT_EQ( DrainErrors(), GLenum( GL_NO_ERROR ) );// refused before any GL call
	EXPECT_TRUE( FBOEmpty() );
	{
		plughost::RenderTarget host( 1, 1 );
		host.Bind();
		EXPECT_FALSE( fbo.Initialise( 8, 8, GL_RGBA8UI ) );// integer formats take no float transfers: incomplete
		DrainErrors();
		EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), GLint( host.Framebuffer() ) );
		EXPECT_TRUE( FBOEmpty() );
	}
	for( GLuint name = 1; name < 256; ++name )
		ASSERT_FALSE( glIsRenderbuffer( name ) || glIsFramebuffer( name ) ) << name;
	ASSERT_TRUE( fbo.Initialise( 3, 5 ) );
	EXPECT_EQ( TextureValue( fbo.GetTextureInfo().Handle, GL_TEXTURE_HEIGHT ), 5 );
}

TEST_F( GLTest, UniformSettersReachTheProgramAndMissingTextIsRefused )
{
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	glUseProgram( shader.GetGLID() );
	shader.Set( "scale", 1 );
	shader.Set( "one", 0.2f );
	shader.Set( "two", 0.2f, 0.6f );
	shader.Set( "three", 0.0f, 0.2f, 0.8f );
	shader.Set( "four", 0.0f, 0.0f, 0.2f, 1.0f );
	testing::internal::CaptureStdout();// unknown names change nothing and report nothing
	EXPECT_EQ( shader.FindUniform( "absent" ) + shader.FindUniform( nullptr ), -2 );
	shader.Set( "absent", 1.0f );
	shader.Set( nullptr, 1 );
	EXPECT_EQ( testing::internal::GetCapturedStdout(), "" );
	plughost::RenderTarget target( 2, 2 );
	target.Bind();
	glBindVertexArray( emptyArray );
	glDrawArrays( GL_TRIANGLES, 0, 3 );
	EXPECT_EQ( ReadPixel( target, 1, 1 ), ( Pixel{ 51, 102, 153, 204 } ) );

	shader.FreeGLResources();// missing text is refused quietly, keeping an earlier program
	testing::internal::CaptureStdout();
	EXPECT_FALSE( shader.Compile( indexVertex, "" ) || shader.Compile( nullptr, uniformFragment ) ||
				  shader.Compile( std::string(), std::string( uniformFragment ) ) );
	EXPECT_EQ( testing::internal::GetCapturedStdout(), "" );
	EXPECT_TRUE( ShaderEmpty() );
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	const GLuint compiled = shader.GetGLID();
	EXPECT_FALSE( shader.Compile( indexVertex, nullptr ) );
	EXPECT_EQ( shader.GetGLID(), compiled );
}

TEST_F( GLTest, VertexOnlyProgramCapturesVaryingsInterleaved )
{
	shader.AddTransformFeedbackVarying( "first" );
	shader.AddTransformFeedbackVarying( nullptr );
	shader.AddTransformFeedbackVarying( "second" );
	ASSERT_TRUE( shader.Compile( indexVertex, "" ) );
	EXPECT_EQ( Attached( shader.GetGLID() ), 1 );
	plughost::RenderTarget target( 1, 1 );// drawing needs a complete framebuffer
	target.Bind();
	GLuint buffer = 0;
	glGenBuffers( 1, &buffer );
	glBindBufferBase( GL_TRANSFORM_FEEDBACK_BUFFER, 0, buffer );
	glBufferData( GL_TRANSFORM_FEEDBACK_BUFFER, 6 * sizeof( float ), nullptr, GL_STATIC_READ );
	glUseProgram( shader.GetGLID() );
	glBindVertexArray( emptyArray );
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

// What the compiler says about a source, prefixed as the toolkit reports it.
std::string Report( const char* prefix, GLenum type, const char* source )
{
	const GLuint raw = RawShader( type, source );
	char log[ 4096 ] = {};
	glGetShaderInfoLog( raw, sizeof log, nullptr, log );
	glDeleteShader( raw );
	return std::string( prefix ) + " Shader error: " + log + "\n";
}

TEST_F( GLTest, GeometryIsOptionalAndEachFailurePrintsOneMessage )
{
	const char* const passGeometry = "#version 410 core\nlayout( triangles ) in; layout( triangle_strip, max_vertices = 3 ) out;\n"
									 "void main() { for( int i = 0; i < 3; ++i ) { gl_Position = gl_in[ i ].gl_Position; EmitVertex(); } }\n";
	ASSERT_TRUE( shader.Compile( indexVertex, passGeometry, uniformFragment ) );
	EXPECT_EQ( Attached( shader.GetGLID() ), 3 );
	ASSERT_TRUE( shader.Compile( indexVertex, "", uniformFragment ) );// the earlier geometry stage must go
	EXPECT_EQ( shader.GetGeometryShaderID(), 0u );
	EXPECT_EQ( Attached( shader.GetGLID() ), 2 );

	const std::tuple< const char*, const char*, const char*, std::string > cases[] = {// the exact message, or its prefix
		{ brokenSource, nullptr, uniformFragment, Report( "Vertex", GL_VERTEX_SHADER, brokenSource ) },
		{ indexVertex, brokenSource, uniformFragment, Report( "Geometry", GL_GEOMETRY_SHADER, brokenSource ) },
		{ indexVertex, nullptr, brokenSource, Report( "Fragment", GL_FRAGMENT_SHADER, brokenSource ) },
		// Compiles alone but cannot link without an entry point: reported under the fragment prefix.
		{ indexVertex, nullptr, "#version 410 core\nout vec4 c; void paint() { c = vec4( 1 ); }\n", "Fragment Shader error: " },
	};
	for( const auto& [ vertex, geometry, fragment, expected ] : cases )
	{
		testing::internal::CaptureStdout();
		EXPECT_FALSE( shader.Compile( vertex, geometry, fragment ) );
		const std::string output = testing::internal::GetCapturedStdout();
		EXPECT_TRUE( expected.back() == '\n' ? output == expected
											  : output.rfind( expected, 0 ) == 0 && output.size() > expected.size() + 1 &&
													output.find( "Shader error", expected.size() ) == std::string::npos )
			<< output;
		EXPECT_TRUE( ShaderEmpty() );
	}
}

TEST_F( GLTest, FreeingAShaderNeverTouchesNamesHandedOutAgain )
{
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );
	const GLuint earlier[] = { shader.GetGLID(), shader.GetVertexShaderID(), shader.GetFragmentShaderID() };
	ASSERT_TRUE( shader.Compile( indexVertex, uniformFragment ) );// frees the earlier objects first
	for( GLuint name : earlier )
	{
		const bool reused = name == shader.GetGLID() || name == shader.GetVertexShaderID() || name == shader.GetFragmentShaderID();
		EXPECT_TRUE( reused || ( !glIsProgram( name ) && !glIsShader( name ) ) ) << name;
	}
	shader.FreeGLResources();
	EXPECT_TRUE( ShaderEmpty() );
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
	Log( "n=", 3, ' ', 2.5, missing, std::string( " %s" ) );
	Log( missing );
	EXPECT_EQ( testing::internal::GetCapturedStdout(), "n=3 2.5 %s\n\n" );
}
}// namespace
