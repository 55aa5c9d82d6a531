// GL life of the clock: programs, quad and glyph textures, and the frame.
#include "VavoRozar.h"

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
	glDeleteTextures( clockglyphs::kGlyphCount, digitTextures );
	// Forget the names: after this they may belong to someone else, and a
	// second DeInitGL must not delete them again.
	for( GLuint& name : digitTextures )
		name = 0;
	digitTextureWidth  = 0;
	digitTextureHeight = 0;
	return FF_SUCCESS;
}

void VavoRozar::GenerateDigitTextures( int width, int height )
{
	for( GLuint& name : digitTextures )
		name = 0;
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
		}

		glGenTextures( 1, &digitTextures[ glyph ] );
		glBindTexture( GL_TEXTURE_2D, digitTextures[ glyph ] );
		glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR );
		glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR );
		glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE );
		glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE );
		glPixelStorei( GL_UNPACK_ALIGNMENT, 1 );
		glTexImage2D( GL_TEXTURE_2D, 0, GL_R8, width, height, 0, GL_RED, GL_UNSIGNED_BYTE, pixels.get() );
		glBindTexture( GL_TEXTURE_2D, 0 );
	}
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
