#include "IsfRenderer.h"

#include "IsfExpression.h"
#include "IsfGlsl.h"
#include "IsfPng.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace isf
{
namespace
{
constexpr int kMaxTargetSize = 8192;
constexpr size_t kMaxUnits   = 16;// GL 4.1 guarantees 16 fragment texture units

std::string InfoLog( GLuint object, bool isProgram )
{
	GLint length = 0;
	if( isProgram )
		glGetProgramiv( object, GL_INFO_LOG_LENGTH, &length );
	else
		glGetShaderiv( object, GL_INFO_LOG_LENGTH, &length );
	std::string log( static_cast< size_t >( std::max( length, 1 ) ), '\0' );
	if( isProgram )
		glGetProgramInfoLog( object, length, nullptr, log.data() );
	else
		glGetShaderInfoLog( object, length, nullptr, log.data() );
	log.resize( std::strlen( log.c_str() ) );
	return log;
}

GLuint CompileStage( GLenum type, const std::string& source, std::string& log )
{
	GLuint shader      = glCreateShader( type );
	const char* text   = source.c_str();
	glShaderSource( shader, 1, &text, nullptr );
	glCompileShader( shader );
	GLint ok = GL_FALSE;
	glGetShaderiv( shader, GL_COMPILE_STATUS, &ok );
	if( ok != GL_TRUE )
	{
		log = InfoLog( shader, false );
		glDeleteShader( shader );
		return 0;
	}
	return shader;
}

struct Built
{
	GLuint program = 0, vertex = 0, fragment = 0;
};

// Compiles and links; on failure frees everything and says why, in the
// .fs/.vs file's lines. A body that fails is tried once more with integer
// literals written as floats, as GLSL 1.x compilers that convert would
// have read it; the first failure's log is the one reported.
Built Build( const Document& document, const Bundle& bundle, std::string& error )
{
	const std::string vertexFile = bundle.vertexFile.empty() ? document.fileName : bundle.vertexFile;
	std::string firstLog;
	for( bool floats : { false, true } )
	{
		const GeneratedShaders shaders = Translate( document, bundle.vertex, TranslateOptions{ floats } );
		std::string log;
		Built built;
		built.vertex = CompileStage( GL_VERTEX_SHADER, shaders.vertex, log );
		if( built.vertex != 0 )
			built.fragment = CompileStage( GL_FRAGMENT_SHADER, shaders.fragment, log );
		if( built.vertex != 0 && built.fragment != 0 )
		{
			built.program = glCreateProgram();
			glAttachShader( built.program, built.vertex );
			glAttachShader( built.program, built.fragment );
			glLinkProgram( built.program );
			GLint ok = GL_FALSE;
			glGetProgramiv( built.program, GL_LINK_STATUS, &ok );
			if( ok == GL_TRUE )
				return built;
			log = "link error: " + InfoLog( built.program, true );
			glDeleteProgram( built.program );
		}
		if( built.vertex )
			glDeleteShader( built.vertex );
		if( built.fragment )
			glDeleteShader( built.fragment );
		if( firstLog.empty() )
			firstLog = log.empty() ? "the GL refused the shaders without a message" : log;
	}
	error = document.fileName + ": the shader does not compile:\n" + DescribeLog( firstLog, document.fileName, vertexFile );
	while( !error.empty() && error.back() == '\n' )
		error.pop_back();
	return {};
}

GLuint MakeTexture( GLint internalFormat, GLsizei w, GLsizei h, GLenum format, GLenum type, const void* data )
{
	GLuint texture = 0;
	glGenTextures( 1, &texture );
	glBindTexture( GL_TEXTURE_2D, texture );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE );
	glTexParameteri( GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE );
	glTexImage2D( GL_TEXTURE_2D, 0, internalFormat, w, h, 0, format, type, data );
	glBindTexture( GL_TEXTURE_2D, 0 );
	return texture;
}

// Uploads with no pixel-unpack buffer and tight rows, putting the host's
// settings back.
struct UnpackState
{
	GLint buffer = 0, alignment = 4, rowLength = 0, skipRows = 0, skipPixels = 0;
	UnpackState()
	{
		glGetIntegerv( GL_PIXEL_UNPACK_BUFFER_BINDING, &buffer );
		glGetIntegerv( GL_UNPACK_ALIGNMENT, &alignment );
		glGetIntegerv( GL_UNPACK_ROW_LENGTH, &rowLength );
		glGetIntegerv( GL_UNPACK_SKIP_ROWS, &skipRows );
		glGetIntegerv( GL_UNPACK_SKIP_PIXELS, &skipPixels );
		glBindBuffer( GL_PIXEL_UNPACK_BUFFER, 0 );
		glPixelStorei( GL_UNPACK_ALIGNMENT, 1 );
		glPixelStorei( GL_UNPACK_ROW_LENGTH, 0 );
		glPixelStorei( GL_UNPACK_SKIP_ROWS, 0 );
		glPixelStorei( GL_UNPACK_SKIP_PIXELS, 0 );
	}
	~UnpackState()
	{
		glBindBuffer( GL_PIXEL_UNPACK_BUFFER, static_cast< GLuint >( buffer ) );
		glPixelStorei( GL_UNPACK_ALIGNMENT, alignment );
		glPixelStorei( GL_UNPACK_ROW_LENGTH, rowLength );
		glPixelStorei( GL_UNPACK_SKIP_ROWS, skipRows );
		glPixelStorei( GL_UNPACK_SKIP_PIXELS, skipPixels );
	}
};

uint32_t AudioColumns( const Input& input )
{
	return input.samples ? input.samples : 256;
}
}// namespace

std::string CheckCompiles( const Document& document, const Bundle& bundle )
{
	std::string error;
	Built built = Build( document, bundle, error );
	if( built.program )
	{
		glDeleteProgram( built.program );
		glDeleteShader( built.vertex );
		glDeleteShader( built.fragment );
	}
	return error;
}

Renderer::~Renderer() = default;

bool Renderer::Initialise( const Document& doc, const Bundle& bundle, std::string& error )
{
	Release();
	document = &doc;
	const std::vector< std::string > names = ImageNames( doc );
	if( names.size() > kMaxUnits )
	{
		error = doc.fileName + ": " + std::to_string( names.size() ) + " images, buffers and audio inputs; at most " +
				std::to_string( kMaxUnits ) + " can be read at once";
		return false;
	}
	// Images first: a bad one fails before any GL program exists.
	std::vector< std::pair< std::string, Picture > > pictures;
	try
	{
		for( const auto& [ name, bytes ] : bundle.images )
			pictures.emplace_back( name, DecodePng( bytes, doc.fileName + ": imported image \"" + name + "\"" ) );
	}
	catch( const Error& bad )
	{
		error = bad.what();
		return false;
	}
	for( const ImportedImage& image : doc.imported )
		if( std::none_of( pictures.begin(), pictures.end(), [ & ]( const auto& p ) { return p.first == image.name; } ) )
		{
			error = doc.fileName + ": imported image \"" + image.name + "\" (" + image.path + ") is not in the plug-in";
			return false;
		}

	Built built = Build( doc, bundle, error );
	if( !built.program )
		return false;
	program        = built.program;
	vertexShader   = built.vertex;
	fragmentShader = built.fragment;
	if( !quad.Initialise() )
	{
		error = doc.fileName + ": cannot make the screen quad";
		Release();
		return false;
	}
	quadReady = true;
	glGenSamplers( 1, &sampler );
	glSamplerParameteri( sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR );
	glSamplerParameteri( sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR );
	glSamplerParameteri( sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE );
	glSamplerParameteri( sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE );
	{
		UnpackState unpack;
		const uint8_t clear[ 4 ] = { 0, 0, 0, 0 };
		emptyTexture             = MakeTexture( GL_RGBA8, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, clear );
	}

	// Pass targets, once each, with the first pass's size and any pass's flags.
	for( const Pass& pass : doc.passes )
	{
		if( pass.target.empty() )
			continue;
		auto found = std::find_if( targets.begin(), targets.end(), [ & ]( const Target& t ) { return t.name == pass.target; } );
		if( found == targets.end() )
		{
			Target target;
			target.name   = pass.target;
			target.width  = pass.width;
			target.height = pass.height;
			targets.push_back( target );
			found = targets.end() - 1;
		}
		found->persistent = found->persistent || pass.persistent;
		found->isFloat    = found->isFloat || pass.floatTarget;
	}

	glUseProgram( program );
	values.assign( doc.inputs.size(), {} );
	inputLocations.assign( doc.inputs.size(), -1 );
	for( size_t k = 0; k < doc.inputs.size(); ++k )
	{
		const Input& input = doc.inputs[ k ];
		inputLocations[ k ] = glGetUniformLocation( program, GlslName( input.name ).c_str() );
		if( input.hasDefault )
			values[ k ] = input.defaultValue;
	}
	for( size_t unit = 0; unit < names.size(); ++unit )
	{
		ImageSlot slot;
		slot.name    = names[ unit ];
		const std::string glsl = GlslName( slot.name );
		slot.sampler = glGetUniformLocation( program, glsl.c_str() );
		slot.size    = glGetUniformLocation( program, ( "_" + glsl + "_imgSize" ).c_str() );
		slot.scale   = glGetUniformLocation( program, ( "_" + glsl + "_imgScale" ).c_str() );
		slot.rect    = glGetUniformLocation( program, ( "_" + glsl + "_imgRect" ).c_str() );
		if( slot.sampler >= 0 )
			glUniform1i( slot.sampler, static_cast< GLint >( unit ) );
		for( size_t k = 0; k < doc.inputs.size(); ++k )
			if( doc.inputs[ k ].name == slot.name )
				slot.input = static_cast< long >( k );
		for( size_t k = 0; k < doc.imageInputs.size(); ++k )
			if( slot.input == static_cast< long >( doc.imageInputs[ k ] ) )
				slot.plugInput = static_cast< long >( k );
		for( size_t k = 0; k < targets.size(); ++k )
			if( targets[ k ].name == slot.name )
				slot.target = static_cast< long >( k );
		for( auto& [ name, picture ] : pictures )
			if( name == slot.name )
			{
				UnpackState unpack;
				slot.texture = MakeTexture( GL_RGBA8, static_cast< GLsizei >( picture.width ), static_cast< GLsizei >( picture.height ),
											GL_RGBA, GL_UNSIGNED_BYTE, picture.rgba.data() );
				slot.width   = static_cast< float >( picture.width );
				slot.height  = static_cast< float >( picture.height );
			}
		if( slot.input >= 0 && doc.inputs[ slot.input ].type != InputType::Image )
		{
			const Input& input     = doc.inputs[ slot.input ];
			const uint32_t columns = AudioColumns( input );
			// Silence: waves sit at 0.5, spectra at 0.
			const float rest = input.type == InputType::Audio ? 0.5f : 0.0f;
			std::vector< float > silent( columns, rest );
			UnpackState unpack;
			slot.texture = MakeTexture( GL_R32F, static_cast< GLsizei >( columns ), 1, GL_RED, GL_FLOAT, silent.data() );
			slot.width   = static_cast< float >( columns );
			slot.height  = 1.0f;
		}
		slots.push_back( slot );
	}
	passIndex    = glGetUniformLocation( program, "PASSINDEX" );
	renderSize   = glGetUniformLocation( program, "RENDERSIZE" );
	timeLocation = glGetUniformLocation( program, "TIME" );
	timeDelta    = glGetUniformLocation( program, "TIMEDELTA" );
	dateLocation = glGetUniformLocation( program, "DATE" );
	frameIndex   = glGetUniformLocation( program, "FRAMEINDEX" );
	glUseProgram( 0 );
	return true;
}

void Renderer::FreeTarget( Target& target )
{
	glDeleteFramebuffers( 2, target.framebuffers );
	glDeleteTextures( 2, target.textures );
	target.framebuffers[ 0 ] = target.framebuffers[ 1 ] = 0;
	target.textures[ 0 ] = target.textures[ 1 ] = 0;
	target.w = target.h = 0;
}

void Renderer::Release()
{
	for( Target& target : targets )
		FreeTarget( target );
	targets.clear();
	for( ImageSlot& slot : slots )
		if( slot.texture )
			glDeleteTextures( 1, &slot.texture );
	slots.clear();
	if( program )
		glDeleteProgram( program );
	if( vertexShader )
		glDeleteShader( vertexShader );
	if( fragmentShader )
		glDeleteShader( fragmentShader );
	program = vertexShader = fragmentShader = 0;
	if( sampler )
		glDeleteSamplers( 1, &sampler );
	sampler = 0;
	if( emptyTexture )
		glDeleteTextures( 1, &emptyTexture );
	emptyTexture = 0;
	if( quadReady )
		quad.Release();
	quadReady = false;
	lastWidth = lastHeight = 0;
}

void Renderer::SetValue( size_t input, const std::array< float, 4 >& value )
{
	if( input < values.size() )
		values[ input ] = value;
}

void Renderer::SetAudio( size_t input, const std::vector< float >& samples )
{
	audio[ input ]      = samples;
	audioDirty[ input ] = true;
}

GLuint Renderer::TargetTexture( const std::string& name ) const
{
	for( const Target& target : targets )
		if( target.name == name )
			return target.textures[ target.current ];
	return 0;
}

bool Renderer::AllocateTarget( Target& target, int w, int h )
{
	FreeTarget( target );
	GLint previous = 0;
	glGetIntegerv( GL_DRAW_FRAMEBUFFER_BINDING, &previous );
	GLfloat clearColor[ 4 ];
	glGetFloatv( GL_COLOR_CLEAR_VALUE, clearColor );
	glClearColor( 0, 0, 0, 0 );
	glGenFramebuffers( 2, target.framebuffers );
	bool complete = true;
	for( int k = 0; k < 2; ++k )
	{
		target.textures[ k ] = target.isFloat ? MakeTexture( GL_RGBA32F, w, h, GL_RGBA, GL_FLOAT, nullptr )
											  : MakeTexture( GL_RGBA8, w, h, GL_RGBA, GL_UNSIGNED_BYTE, nullptr );
		glBindFramebuffer( GL_DRAW_FRAMEBUFFER, target.framebuffers[ k ] );
		glFramebufferTexture2D( GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.textures[ k ], 0 );
		complete = complete && glCheckFramebufferStatus( GL_DRAW_FRAMEBUFFER ) == GL_FRAMEBUFFER_COMPLETE;
		// New contents are transparent black, as after a resize.
		glClear( GL_COLOR_BUFFER_BIT );
	}
	glBindFramebuffer( GL_DRAW_FRAMEBUFFER, static_cast< GLuint >( previous ) );
	glClearColor( clearColor[ 0 ], clearColor[ 1 ], clearColor[ 2 ], clearColor[ 3 ] );
	target.w       = w;
	target.h       = h;
	target.current = 0;
	if( !complete )
		FreeTarget( target );
	return complete;
}

void Renderer::SizeTargets( int width, int height )
{
	std::map< std::string, double > variables = { { "WIDTH", width }, { "HEIGHT", height } };
	for( size_t k = 0; k < document->inputs.size(); ++k )
	{
		const Input& input = document->inputs[ k ];
		if( input.type == InputType::Float || input.type == InputType::Long || input.type == InputType::Bool ||
			input.type == InputType::Event )
			variables[ input.name ] = values[ k ][ 0 ];
	}
	const bool resized = width != lastWidth || height != lastHeight;
	lastWidth          = width;
	lastHeight         = height;
	for( Target& target : targets )
	{
		int w = width, h = height;
		try
		{
			if( !target.width.empty() )
				w = PixelCount( Evaluate( target.width, variables ), kMaxTargetSize );
			if( !target.height.empty() )
				h = PixelCount( Evaluate( target.height, variables ), kMaxTargetSize );
		}
		catch( const Error& )
		{
			// Checked when the plug-in was made; a value that turns bad at
			// run time (a division by an input at 0) keeps the full size.
		}
		// A new render size starts every buffer afresh.
		if( resized || w != target.w || h != target.h || target.textures[ 0 ] == 0 )
			AllocateTarget( target, w, h );
	}
}

void Renderer::UploadAudio()
{
	for( ImageSlot& slot : slots )
	{
		if( slot.input < 0 || !slot.texture || !audioDirty[ static_cast< size_t >( slot.input ) ] )
			continue;
		const Input& input = document->inputs[ static_cast< size_t >( slot.input ) ];
		const std::vector< float >& given = audio[ static_cast< size_t >( slot.input ) ];
		std::vector< float > row( static_cast< size_t >( slot.width ), input.type == InputType::Audio ? 0.5f : 0.0f );
		for( size_t k = 0; k < row.size() && k < given.size(); ++k )
			row[ k ] = std::isfinite( given[ k ] ) ? given[ k ] : row[ k ];
		UnpackState unpack;
		glBindTexture( GL_TEXTURE_2D, slot.texture );
		glTexSubImage2D( GL_TEXTURE_2D, 0, 0, 0, static_cast< GLsizei >( row.size() ), 1, GL_RED, GL_FLOAT, row.data() );
		glBindTexture( GL_TEXTURE_2D, 0 );
		audioDirty[ static_cast< size_t >( slot.input ) ] = false;
	}
}

bool Renderer::Render( const FrameState& frame, const std::vector< SourceTexture >& images, const std::array< GLint, 4 >& viewport,
					   std::string& error )
{
	if( !program )
	{
		error = "the shader is not ready";
		return false;
	}
	GLint drawFramebuffer = 0, readFramebuffer = 0, activeUnit = GL_TEXTURE0;
	glGetIntegerv( GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer );
	glGetIntegerv( GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer );
	glGetIntegerv( GL_ACTIVE_TEXTURE, &activeUnit );
	SizeTargets( std::max( viewport[ 2 ], 1 ), std::max( viewport[ 3 ], 1 ) );
	UploadAudio();

	glUseProgram( program );
	glUniform1f( timeLocation, frame.time );
	glUniform1f( timeDelta, frame.timeDelta );
	glUniform1i( frameIndex, frame.frameIndex );
	glUniform4f( dateLocation, frame.date[ 0 ], frame.date[ 1 ], frame.date[ 2 ], frame.date[ 3 ] );
	for( size_t k = 0; k < document->inputs.size(); ++k )
	{
		const GLint location = inputLocations[ k ];
		if( location < 0 )
			continue;
		const auto& v = values[ k ];
		switch( document->inputs[ k ].type )
		{
		case InputType::Event:
		case InputType::Bool: glUniform1i( location, v[ 0 ] > 0.5f ? 1 : 0 ); break;
		case InputType::Long:
			glUniform1i( location, std::isfinite( v[ 0 ] ) ? static_cast< GLint >( std::clamp( v[ 0 ], -2.0e9f, 2.0e9f ) ) : 0 );
			break;
		case InputType::Float: glUniform1f( location, v[ 0 ] ); break;
		case InputType::Point2D: glUniform2f( location, v[ 0 ], v[ 1 ] ); break;
		case InputType::Color: glUniform4f( location, v[ 0 ], v[ 1 ], v[ 2 ], v[ 3 ] ); break;
		default: break;
		}
	}
	// Every image on its unit; targets get their latest contents.
	for( size_t unit = 0; unit < slots.size(); ++unit )
	{
		ImageSlot& slot = slots[ unit ];
		GLuint texture  = slot.texture;
		float w = slot.width, h = slot.height, sx = 1.0f, sy = 1.0f;
		if( slot.plugInput >= 0 )
		{
			const size_t k = static_cast< size_t >( slot.plugInput );
			if( k < images.size() && images[ k ].handle != 0 )
			{
				texture = images[ k ].handle;
				w       = images[ k ].width;
				h       = images[ k ].height;
				sx      = images[ k ].scaleX;
				sy      = images[ k ].scaleY;
			}
			else
			{
				texture = emptyTexture;
				w = h = 1.0f;
			}
		}
		else if( slot.target >= 0 )
		{
			const Target& target = targets[ static_cast< size_t >( slot.target ) ];
			texture              = target.textures[ target.current ];
			w                    = static_cast< float >( target.w );
			h                    = static_cast< float >( target.h );
		}
		glActiveTexture( GL_TEXTURE0 + static_cast< GLenum >( unit ) );
		glBindTexture( GL_TEXTURE_2D, texture ? texture : emptyTexture );
		glBindSampler( static_cast< GLuint >( unit ), sampler );
		glUniform2f( slot.size, w, h );
		glUniform2f( slot.scale, sx, sy );
		// Within the picture's outer texel centres when the texture is larger.
		const float lowX = sx < 1.0f ? 0.5f * sx / w : 0.0f, lowY = sy < 1.0f ? 0.5f * sy / h : 0.0f;
		const float highX = sx < 1.0f ? sx * ( w - 0.5f ) / w : 1.0f, highY = sy < 1.0f ? sy * ( h - 0.5f ) / h : 1.0f;
		glUniform4f( slot.rect, lowX, lowY, highX, highY );
	}

	bool lastToOutput = true;
	for( size_t p = 0; p < document->passes.size(); ++p )
	{
		const Pass& pass = document->passes[ p ];
		glUniform1i( passIndex, static_cast< GLint >( p ) );
		if( pass.target.empty() )
		{
			glBindFramebuffer( GL_DRAW_FRAMEBUFFER, static_cast< GLuint >( drawFramebuffer ) );
			glViewport( viewport[ 0 ], viewport[ 1 ], viewport[ 2 ], viewport[ 3 ] );
			glUniform2f( renderSize, static_cast< float >( viewport[ 2 ] ), static_cast< float >( viewport[ 3 ] ) );
			quad.Draw();
			lastToOutput = true;
			continue;
		}
		size_t index = 0;
		while( targets[ index ].name != pass.target )
			++index;
		Target& target = targets[ index ];
		if( !target.textures[ 0 ] )
			continue;
		// Write the other texture of the pair while this one is read.
		const int next = 1 - target.current;
		glBindFramebuffer( GL_DRAW_FRAMEBUFFER, target.framebuffers[ next ] );
		glViewport( 0, 0, target.w, target.h );
		glUniform2f( renderSize, static_cast< float >( target.w ), static_cast< float >( target.h ) );
		quad.Draw();
		target.current = next;
		// Later passes read this frame's result.
		for( size_t unit = 0; unit < slots.size(); ++unit )
			if( slots[ unit ].target == static_cast< long >( index ) )
			{
				glActiveTexture( GL_TEXTURE0 + static_cast< GLenum >( unit ) );
				glBindTexture( GL_TEXTURE_2D, target.textures[ target.current ] );
			}
		lastToOutput = false;
	}
	if( !lastToOutput )
	{
		// The last pass wrote a buffer: it is the picture.
		const Pass& last = document->passes.back();
		for( const Target& target : targets )
			if( target.name == last.target && target.textures[ 0 ] )
			{
				glBindFramebuffer( GL_READ_FRAMEBUFFER, target.framebuffers[ target.current ] );
				glBindFramebuffer( GL_DRAW_FRAMEBUFFER, static_cast< GLuint >( drawFramebuffer ) );
				glBlitFramebuffer( 0, 0, target.w, target.h, viewport[ 0 ], viewport[ 1 ], viewport[ 0 ] + viewport[ 2 ],
								   viewport[ 1 ] + viewport[ 3 ], GL_COLOR_BUFFER_BIT, GL_LINEAR );
			}
	}
	for( size_t unit = 0; unit < slots.size(); ++unit )
	{
		glActiveTexture( GL_TEXTURE0 + static_cast< GLenum >( unit ) );
		glBindTexture( GL_TEXTURE_2D, 0 );
		glBindSampler( static_cast< GLuint >( unit ), 0 );
	}
	glActiveTexture( static_cast< GLenum >( activeUnit ) );
	glUseProgram( 0 );
	glBindFramebuffer( GL_DRAW_FRAMEBUFFER, static_cast< GLuint >( drawFramebuffer ) );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, static_cast< GLuint >( readFramebuffer ) );
	glViewport( viewport[ 0 ], viewport[ 1 ], viewport[ 2 ], viewport[ 3 ] );
	return true;
}
}// namespace isf
