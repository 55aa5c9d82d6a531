// GL life of the clock: programs, quad, cover buffer and glyph textures, and
// the frame.
#include "VavoRozar.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "ClockTime.h"
#include "DigitGlyphs.h"
#include "Shaders.h"

namespace
{
constexpr GLint kColonUnit_ = clockglyphs::kColonGlyph;

const char* const digitSamplerNames_[ 10 ] = {
	"Digit0", "Digit1", "Digit2", "Digit3", "Digit4",
	"Digit5", "Digit6", "Digit7", "Digit8", "Digit9",
};

// A clear writes what the face program writes over the background only
// when nothing between the program and the framebuffer treats a drawn pixel
// differently from a cleared one, and when every pixel the full quad would
// write is written by one or the other.
bool HostStateAllowsCover()
{
	for( GLenum capability : { GL_BLEND, GL_COLOR_LOGIC_OP, GL_DEPTH_TEST, GL_STENCIL_TEST, GL_CULL_FACE, GL_POLYGON_SMOOTH,
							   GL_SAMPLE_ALPHA_TO_COVERAGE, GL_SAMPLE_COVERAGE, GL_SAMPLE_MASK } )
		if( glIsEnabled( capability ) )
			return false;
	GLboolean mask[ 4 ] = { GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE };
	glGetBooleanv( GL_COLOR_WRITEMASK, mask );
	GLint polygonMode[ 2 ] = { GL_FILL, GL_FILL };
	glGetIntegerv( GL_POLYGON_MODE, polygonMode );
	return mask[ 0 ] && mask[ 1 ] && mask[ 2 ] && mask[ 3 ] && polygonMode[ 0 ] == GL_FILL;
}

// Clears the viewport, within the host's scissor box when scissoring is on,
// and leaves the scissor state and the clear colour as the host set them.
void ClearViewport( const GLint ( &viewport )[ 4 ], bool solid )
{
	GLint box[ 4 ] = {};
	glGetIntegeri_v( GL_SCISSOR_BOX, 0, box );
	const bool scissorOn = glIsEnabledi( GL_SCISSOR_TEST, 0 ) == GL_TRUE;
	int64_t x0 = viewport[ 0 ], y0 = viewport[ 1 ];
	int64_t x1 = x0 + viewport[ 2 ], y1 = y0 + viewport[ 3 ];
	if( scissorOn )
	{
		x0 = std::max< int64_t >( x0, box[ 0 ] ), x1 = std::min< int64_t >( x1, int64_t{ box[ 0 ] } + box[ 2 ] );
		y0 = std::max< int64_t >( y0, box[ 1 ] ), y1 = std::min< int64_t >( y1, int64_t{ box[ 1 ] } + box[ 3 ] );
	}
	if( x1 <= x0 || y1 <= y0 )
		return;
	if( !scissorOn )
		glEnablei( GL_SCISSOR_TEST, 0 );
	glScissorIndexed( 0, static_cast< GLint >( x0 ), static_cast< GLint >( y0 ), static_cast< GLsizei >( x1 - x0 ),
					  static_cast< GLsizei >( y1 - y0 ) );
	const GLfloat background[ 4 ] = { 0.0f, 0.0f, 0.0f, solid ? 1.0f : 0.0f };
	glClearBufferfv( GL_COLOR, 0, background );
	glScissorIndexed( 0, box[ 0 ], box[ 1 ], box[ 2 ], box[ 3 ] );
	if( !scissorOn )
		glDisablei( GL_SCISSOR_TEST, 0 );
}
}// namespace

VavoRozar::~VavoRozar()
{
	// GL objects are freed by DeInitGL while the host's context is current.
}

FFResult VavoRozar::InitGL( const FFGLViewportStruct* viewport )
{
	if( viewport == nullptr )
		return FF_FAIL;
	if( !analogShader.Compile( vertexShaderCode_, analogFragmentShaderCode_ ) )
	{
		DeInitGL();
		return FF_FAIL;
	}
	if( !digitalShader.Compile( vertexShaderCode_, digitalFragmentShaderCode_ ) )
	{
		DeInitGL();
		return FF_FAIL;
	}
	if( !quad.Initialise( false ) )
	{
		DeInitGL();
		return FF_FAIL;
	}

	// Without the cover buffer every frame draws the whole quad.
	glGenVertexArrays( 1, &coverArray );
	glGenBuffers( 1, &coverBuffer );
	if( coverArray != 0 && coverBuffer != 0 )
	{
		// The buffer is also the array's element buffer: bound with the array,
		// it can be refilled without touching a buffer binding of the host.
		glBindVertexArray( coverArray );
		glBindBuffer( GL_ELEMENT_ARRAY_BUFFER, coverBuffer );
		glBufferData( GL_ELEMENT_ARRAY_BUFFER, sizeof( coverVertices ), nullptr, GL_STREAM_DRAW );
		glBindBuffer( GL_ARRAY_BUFFER, coverBuffer );
		glEnableVertexAttribArray( 0 );
		glVertexAttribPointer( 0, 3, GL_FLOAT, GL_FALSE, sizeof( facecover::Vertex ),
							   reinterpret_cast< const void* >( offsetof( facecover::Vertex, x ) ) );
		glEnableVertexAttribArray( 1 );
		glVertexAttribPointer( 1, 2, GL_FLOAT, GL_FALSE, sizeof( facecover::Vertex ),
							   reinterpret_cast< const void* >( offsetof( facecover::Vertex, u ) ) );
		glBindBuffer( GL_ARRAY_BUFFER, 0 );
		glBindVertexArray( 0 );
	}
	else
	{
		glDeleteBuffers( 1, &coverBuffer );
		glDeleteVertexArrays( 1, &coverArray );
		coverArray = coverBuffer = 0;
	}

	const clockglyphs::GlyphSize size = clockglyphs::ComputeGlyphSize( viewport->width, clockglyphs::kInitialGlyphBound );
	GenerateDigitTextures( size.width, size.height );
	digitTextureWidth  = size.width;
	digitTextureHeight = size.height;

	return CFFGLPlugin::InitGL( viewport );
}

FFResult VavoRozar::DeInitGL()
{
	analogShader.FreeGLResources();
	digitalShader.FreeGLResources();
	quad.Release();
	glDeleteBuffers( 1, &coverBuffer );
	glDeleteVertexArrays( 1, &coverArray );
	coverArray = coverBuffer = 0;
	std::memset( &coverInputs, 0, sizeof( coverInputs ) );
	coverCount = -1;
	glDeleteTextures( clockglyphs::kGlyphCount, digitTextures );
	// Forget the names: after this they may belong to someone else, and a
	// second DeInitGL must not delete them again.
	for( GLuint& name : digitTextures )
		name = 0;
	digitTextureWidth  = 0;
	digitTextureHeight = 0;
	return FF_SUCCESS;
}

namespace
{
// Without the glyph buffer a texture made from a null pointer would hold
// whatever the driver had; zero it in bands from a small static buffer so
// the digits come out blank instead.
void ClearBoundGlyph( int width, int height )
{
	static const unsigned char zeros_[ 16 * 1024 ] = {};
	const int rows = std::max( 1, static_cast< int >( sizeof zeros_ ) / width );
	for( int y = 0; y < height && width <= static_cast< int >( sizeof zeros_ ); y += rows )
		glTexSubImage2D( GL_TEXTURE_2D, 0, 0, y, width, std::min( rows, height - y ), GL_RED, GL_UNSIGNED_BYTE, zeros_ );
}

// The glyph uploads read tightly packed rows from client memory, whatever
// the host set for its own uploads; afterwards the host gets its settings
// back, so its next upload is not read with ours.
class GlyphUnpackState
{
public:
	GlyphUnpackState()
	{
		glGetIntegerv( GL_PIXEL_UNPACK_BUFFER_BINDING, &buffer );
		glBindBuffer( GL_PIXEL_UNPACK_BUFFER, 0 );
		for( int i = 0; i < kCount; ++i )
		{
			glGetIntegerv( kNames[ i ], &saved[ i ] );
			glPixelStorei( kNames[ i ], kNames[ i ] == GL_UNPACK_ALIGNMENT ? 1 : 0 );
		}
	}
	~GlyphUnpackState()
	{
		for( int i = 0; i < kCount; ++i )
			glPixelStorei( kNames[ i ], saved[ i ] );
		glBindBuffer( GL_PIXEL_UNPACK_BUFFER, static_cast< GLuint >( buffer ) );
	}
	GlyphUnpackState( const GlyphUnpackState& )            = delete;
	GlyphUnpackState& operator=( const GlyphUnpackState& ) = delete;

private:
	static constexpr int kCount              = 6;
	static constexpr GLenum kNames[ kCount ] = { GL_UNPACK_ALIGNMENT,   GL_UNPACK_ROW_LENGTH,   GL_UNPACK_SKIP_ROWS,
												 GL_UNPACK_SKIP_PIXELS, GL_UNPACK_IMAGE_HEIGHT, GL_UNPACK_SKIP_IMAGES };
	GLint saved[ kCount ] = {};
	GLint buffer          = 0;
};
}// namespace

void VavoRozar::GenerateDigitTextures( int width, int height )
{
	const GlyphUnpackState unpack;
	for( GLuint& name : digitTextures )
		name = 0;
	glyphCover.Clear();
	if( width <= 0 || height <= 0 )
		return;

	// One buffer, cleared for each glyph and freed after the last upload.
	const size_t bytes = static_cast< size_t >( width ) * static_cast< size_t >( height );
	std::unique_ptr< unsigned char[] > pixels( new( std::nothrow ) unsigned char[ bytes ] );
	const clockglyphs::GlyphSetRasteriser rasteriser( width, height );

	for( int glyph = 0; glyph < clockglyphs::kGlyphCount; ++glyph )
	{
		if( pixels )
		{
			std::memset( pixels.get(), 0, bytes );
			rasteriser.Rasterise( pixels.get(), glyph );
			glyphCover.Add( pixels.get(), width, height, glyph );
		}

		glGenTextures( 1, &digitTextures[ glyph ] );
		glBindTexture( GL_TEXTURE_2D, digitTextures[ glyph ] );
		glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR );
		glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR );
		glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE );
		glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE );
		glTexImage2D( GL_TEXTURE_2D, 0, GL_R8, width, height, 0, GL_RED, GL_UNSIGNED_BYTE, pixels.get() );
		if( !pixels )
			ClearBoundGlyph( width, height );
		glBindTexture( GL_TEXTURE_2D, 0 );
	}
	glyphCover.Finish();
	++glyphSetGeneration;
}

bool VavoRozar::DrawOverCover( const GLint ( &viewport )[ 4 ], float aspectRatio, const float ( &time )[ 3 ] )
{
	// In a tiny viewport the whole quad costs less than asking the host's
	// state and building a cover.
	const FFGLViewportStruct& stored = GetViewport();
	if( coverArray == 0 || uint64_t{ stored.width } * stored.height < facecover::kSmallestCovered || !HostStateAllowsCover() )
		return false;

	CoverInputs inputs;
	std::memset( &inputs, 0, sizeof( inputs ) );// compared bytewise, padding included
	inputs.view        = { aspectRatio, scale, viewport[ 0 ], viewport[ 1 ], viewport[ 2 ], viewport[ 3 ] };
	inputs.digital     = digital;
	inputs.showSeconds = showSeconds;
	inputs.glyphSet    = glyphSetGeneration;
	if( digital )
		facecover::ReadOut( time[ 0 ], time[ 1 ], time[ 2 ], hourFormat24h, inputs.digits );
	else
		std::memcpy( inputs.time, time, sizeof( inputs.time ) );

	const bool rebuild = std::memcmp( &inputs, &coverInputs, sizeof( inputs ) ) != 0;
	if( rebuild )
	{
		coverCount = digital ? facecover::Digital( inputs.view, showSeconds, inputs.digits, glyphCover, coverVertices )
							 : facecover::Analog( inputs.view, { time[ 0 ], time[ 1 ], time[ 2 ], showSeconds }, coverVertices );
		std::memcpy( &coverInputs, &inputs, sizeof( inputs ) );
	}
	if( coverCount < 0 )
		return false;

	ClearViewport( viewport, solidBackground );
	if( coverCount > 0 )
	{
		glBindVertexArray( coverArray );
		if( rebuild )
			glBufferSubData( GL_ELEMENT_ARRAY_BUFFER, 0, static_cast< GLsizeiptr >( coverCount * sizeof( facecover::Vertex ) ),
							 coverVertices );
		glDrawArrays( GL_TRIANGLES, 0, coverCount );
	}
	// At rest as after the whole quad, also when nothing was drawn.
	glBindVertexArray( 0 );
	return true;
}

FFResult VavoRozar::ProcessOpenGL( ProcessOpenGLStruct* )
{
	// Without InitGL there is nothing to draw with, and glyphs made now
	// would never be freed.
	if( !analogShader.IsReady() || !digitalShader.IsReady() )
		return FF_SUCCESS;

	const FFGLViewportStruct& viewport = GetViewport();

	const clockglyphs::GlyphSize size = clockglyphs::ComputeGlyphSize( viewport.width, clockglyphs::kFrameGlyphBound );
	if( size.width != digitTextureWidth || size.height != digitTextureHeight )
	{
		if( digitTextureWidth > 0 )
			glDeleteTextures( clockglyphs::kGlyphCount, digitTextures );
		GenerateDigitTextures( size.width, size.height );
		digitTextureWidth  = size.width;
		digitTextureHeight = size.height;
	}

	ffglex::FFGLShader& shader = digital ? digitalShader : analogShader;
	ffglex::ScopedShaderBinding binding( shader.GetGLID() );

	shader.Set( "MaxUV", 1.0f, 1.0f );

	// Infinite or NaN for a zero height; the programs draw nothing then.
	const float aspectRatio = static_cast< float >( viewport.width ) / static_cast< float >( viewport.height );

	clocktime::ClockFractions time{ manualHours, manualMinutes, manualSeconds };
	if( !smooth )
	{
		// Shows from the next frame: this frame keeps the values just read.
		manualMinutes = SnapToWholeSixtieths( manualMinutes );
		manualSeconds = SnapToWholeSixtieths( manualSeconds );
	}
	if( useSystemTime )
		time = clocktime::ToFractions( clocktime::ReadLocalNow(), timezoneOffset, hourFormat24h, smooth );

	GLint glViewport[ 4 ] = {};
	glGetIntegerv( GL_VIEWPORT, glViewport );
	glUniform4f( shader.FindUniform( "Viewport" ), static_cast< float >( glViewport[ 0 ] ), static_cast< float >( glViewport[ 1 ] ),
				 static_cast< float >( glViewport[ 2 ] ), static_cast< float >( glViewport[ 3 ] ) );
	glUniform3f( shader.FindUniform( "Color" ), red, green, blue );
	glUniform1f( shader.FindUniform( "Hours" ), time.hours );
	glUniform1f( shader.FindUniform( "Minutes" ), time.minutes );
	glUniform1f( shader.FindUniform( "Seconds" ), time.seconds );
	glUniform1i( shader.FindUniform( "ShowSeconds" ), showSeconds ? 1 : 0 );
	glUniform1f( shader.FindUniform( "AspectRatio" ), aspectRatio );
	glUniform1f( shader.FindUniform( "Scale" ), scale );
	glUniform1i( shader.FindUniform( "SolidBackground" ), solidBackground ? 1 : 0 );
	if( digital )
	{
		glUniform1i( shader.FindUniform( "HourFormat24h" ), hourFormat24h ? 1 : 0 );
		for( GLint unit = 0; unit < 10; ++unit )
			glUniform1i( shader.FindUniform( digitSamplerNames_[ unit ] ), unit );
		glUniform1i( shader.FindUniform( "Colon" ), kColonUnit_ );

		for( GLenum unit = 0; unit < clockglyphs::kGlyphCount; ++unit )
		{
			glActiveTexture( GL_TEXTURE0 + unit );
			glBindTexture( GL_TEXTURE_2D, digitTextures[ unit ] );
		}
	}
	else
	{
		glUniform1i( shader.FindUniform( "RedSeconds" ), redSecondsHand ? 1 : 0 );
	}

	if( !DrawOverCover( glViewport, aspectRatio, { time.hours, time.minutes, time.seconds } ) )
		quad.Draw();

	if( digital )
	{
		for( GLenum unit = 0; unit < clockglyphs::kGlyphCount; ++unit )
		{
			glActiveTexture( GL_TEXTURE0 + unit );
			glBindTexture( GL_TEXTURE_2D, 0 );
		}
	}
	glActiveTexture( GL_TEXTURE0 );
	binding.EndScope();
	return FF_SUCCESS;
}
