#include "BridgeInstance.h"

#include "HostText.h"
#include "Module.h"
#include "Report.h"

#include <GL/glcorearb.h>

#include <cstring>

namespace ffglfrei0r
{
namespace
{
// From GL_MESA_pack_invert: glReadPixels delivers the top row first.
constexpr GLenum kPackInvertMesa = 0x8758;

bool HasExtension( const char* name )
{
	GLint count = 0;
	glGetIntegerv( GL_NUM_EXTENSIONS, &count );
	for( GLint i = 0; i < count; ++i )
	{
		const auto* extension = reinterpret_cast< const char* >( glGetStringi( GL_EXTENSIONS, static_cast< GLuint >( i ) ) );
		if( extension != nullptr && std::strcmp( extension, name ) == 0 )
			return true;
	}
	return false;
}
}// namespace

BridgeInstance::BridgeInstance( std::shared_ptr< LoadedPlugin > loaded, unsigned w, unsigned h, TimeUnit timeUnit ) :
	plugin( std::move( loaded ) ),
	facts( plugin->Facts() ),
	width( w ),
	height( h ),
	unit( timeUnit ),
	pending( facts.parameters.size() ),
	readBack( facts.parameters.size() )
{
}

BridgeInstance::~BridgeInstance()
{
	std::lock_guard< std::mutex > lock( mutex );
	TearDownLocked();
}

std::size_t BridgeInstance::InputCount() const
{
	return facts.ffglType == FF_MIXER ? 2 : facts.ffglType == FF_EFFECT ? 1 : 0;
}

bool BridgeInstance::SetUp( std::string& reason )
{
	std::lock_guard< std::mutex > lock( mutex );
	return SetUpLocked( reason );
}

bool BridgeInstance::SetUpLocked( std::string& reason )
{
	if( gl )
		return true;
	if( setUpFailed )
	{
		reason = "its GL set-up failed before";
		return false;
	}
	try
	{
		// Awake for the host's next frame: a host's own work between frames
		// (ffmpeg's is a fifth of a millisecond at 1280x720) fits.
		gl = std::make_unique< GLThread >( std::chrono::microseconds( 300 ) );
	}
	catch( const std::exception& error )
	{
		reason = std::string( "no thread for its GL context: " ) + error.what();
		setUpFailed = true;
		return false;
	}
	try
	{
		gl->Run( [ this ] { MakeGLObjects(); } );
		StartReader();
		return true;
	}
	catch( const std::exception& error )
	{
		reason = error.what();
	}
	setUpFailed = true;
	TearDownLocked();
	return false;
}

void BridgeInstance::MakeGLObjects()
{
	try
	{
		context = std::make_unique< plughost::GLContext >();
	}
	catch( const std::exception& error )
	{
		throw plughost::Error( std::string( "no GL context: " ) + error.what() );
	}
	target = std::make_unique< plughost::RenderTarget >( width, height );
	// Depth is cleared once: clearing it every frame cost a quarter of the
	// clock's own frame, and a plug-in that depth-tests clears it itself, as
	// no FFGL host promises a cleared depth buffer.
	target->Clear();
	packInvert = HasExtension( "GL_MESA_pack_invert" );
	if( InputCount() > 0 )
	{
		const plughost::Image blank( width, height );
		for( std::size_t i = 0; i < InputCount(); ++i )
		{
			inputTextures.push_back( std::make_unique< plughost::InputTexture >( blank ) );
			inputs.push_back( inputTextures.back()->Texture() );
		}
	}
	std::lock_guard< std::mutex > call( plugin->CallMutex() );
	try
	{
		instance = std::make_unique< plughost::Instance >( plugin->Library(), width, height );
	}
	catch( const std::exception& )
	{
		throw plughost::Error( "the plug-in failed to create an instance of " + std::to_string( width ) + "x" +
							   std::to_string( height ) + " (does a shader not compile?)" );
	}
	ApplyPendingLocked();
}

void BridgeInstance::TearDownLocked() noexcept
{
	if( !gl )
		return;
	if( !gl->InThisProcess() )
	{
		// Forked since: the GL objects live with threads this process does
		// not have, and can only be forgotten (the threads' Stop then runs
		// nothing).
		(void)readerContext.release();
		(void)instance.release();
		(void)target.release();
		(void)context.release();
		for( auto& texture : inputTextures )
			(void)texture.release();
	}
	if( reader )
		reader->Stop( [ this ] { FreeReader(); } );
	gl->Stop( [ this ] { FreeGLObjects(); } );
	reader.reset();
	gl.reset();
}

void BridgeInstance::FreeGLObjects() noexcept
{
	if( !context )
		return;
	{
		std::lock_guard< std::mutex > call( plugin->CallMutex() );
		instance.reset();
	}
	inputs.clear();
	inputTextures.clear();
	target.reset();
	context.reset();
}

// Needs the plug-in's call lock.
void BridgeInstance::ApplyPendingLocked()
{
	if( !instance )
		return;
	for( std::size_t i = 0; i < pending.size(); ++i )
	{
		Pending& value = pending[ i ];
		if( !value.set )
			continue;
		const auto index = static_cast< uint32_t >( i );
		if( facts.parameters[ i ].kind == ParameterKind::Text )
			instance->SetText( index, value.text );
		else
			instance->SetFloat( index, value.number );
		value.set = false;
		value.text.clear();
	}
}

void BridgeInstance::SetParameter( int index, f0r_param_t value )
{
	if( value == nullptr || index < 0 || static_cast< std::size_t >( index ) >= facts.parameters.size() )
		return;
	const MappedParameter& parameter = facts.parameters[ static_cast< std::size_t >( index ) ];
	std::lock_guard< std::mutex > lock( mutex );
	Pending& slot = pending[ static_cast< std::size_t >( index ) ];
	switch( parameter.kind )
	{
	case ParameterKind::Unused:
		return;
	case ParameterKind::Text:
		slot.text = ReadHostText( value );
		break;
	default:
		slot.number = ToPlugin( parameter, *static_cast< const double* >( value ) );
		break;
	}
	slot.set = true;
	// Setting a parameter needs no GL context in FFGL.
	if( instance )
	{
		std::lock_guard< std::mutex > call( plugin->CallMutex() );
		ApplyPendingLocked();
	}
}

void BridgeInstance::GetParameter( int index, f0r_param_t value )
{
	if( value == nullptr || index < 0 || static_cast< std::size_t >( index ) >= facts.parameters.size() )
		return;
	const auto i                     = static_cast< std::size_t >( index );
	const MappedParameter& parameter = facts.parameters[ i ];
	std::lock_guard< std::mutex > lock( mutex );
	if( parameter.kind == ParameterKind::Text )
	{
		std::optional< std::string > text;
		if( instance )
		{
			std::lock_guard< std::mutex > call( plugin->CallMutex() );
			text = instance->GetText( static_cast< uint32_t >( i ) );
		}
		else
			text = pending[ i ].set ? pending[ i ].text : parameter.defaultText;
		readBack[ i ]                  = text.value_or( "" );
		*static_cast< f0r_param_string* >( value ) = readBack[ i ].data();
		return;
	}
	if( parameter.kind == ParameterKind::Unused )
	{
		*static_cast< double* >( value ) = 0.0;
		return;
	}
	float reported = pending[ i ].set ? pending[ i ].number : parameter.defaultValue;
	if( instance )
	{
		std::lock_guard< std::mutex > call( plugin->CallMutex() );
		reported = instance->GetFloat( static_cast< uint32_t >( i ) ).value_or( reported );
	}
	*static_cast< double* >( value ) = FromPlugin( parameter, reported );
}

void BridgeInstance::ReadBack( uint32_t* out )
{
	ReadRows( target->Framebuffer(), 0, height, out );
	if( packInvert )
		return;
	// GL's first row is the bottom one, and this driver cannot read it
	// upright itself.
	const std::size_t rowBytes = static_cast< std::size_t >( width ) * 4;
	row.resize( rowBytes );
	auto* bytes = reinterpret_cast< uint8_t* >( out );
	for( unsigned y = 0; y < height / 2; ++y )
	{
		uint8_t* top    = bytes + y * rowBytes;
		uint8_t* bottom = bytes + ( height - 1 - y ) * rowBytes;
		std::memcpy( row.data(), top, rowBytes );
		std::memcpy( top, bottom, rowBytes );
		std::memcpy( bottom, row.data(), rowBytes );
	}
}

void BridgeInstance::Fail( uint32_t* out, const std::string& reason )
{
	std::memset( out, 0, static_cast< std::size_t >( width ) * height * 4 );
	if( !reportedFailure.empty() )
		return;
	reportedFailure = reason;
	ReportOnce( Subject(), reason + "; frames are left transparent black" );
}

void BridgeInstance::Update( double time, const uint32_t* first, const uint32_t* second, uint32_t* out )
{
	if( out == nullptr )
		return;
	std::lock_guard< std::mutex > lock( mutex );
	std::string reason;
	if( !SetUpLocked( reason ) )
		return Fail( out, reason );
	try
	{
		gl->Run( [ & ] { Render( time, first, second, out ); } );
	}
	catch( const std::exception& error )
	{
		Fail( out, error.what() );
	}
}

void BridgeInstance::Render( double time, const uint32_t* first, const uint32_t* second, uint32_t* out )
{
	const uint32_t* pictures[ 2 ] = { first, second };
	for( std::size_t i = 0; i < inputTextures.size(); ++i )
		inputTextures[ i ]->Replace( reinterpret_cast< const uint8_t* >( pictures[ i ] ) );
	uint32_t result = FF_FAIL;
	{
		std::lock_guard< std::mutex > call( plugin->CallMutex() );
		ApplyPendingLocked();
		if( facts.timeSupported )
			instance->SetTime( PluginTime( time, unit ) );
		// Pixels the plug-in leaves untouched must not show the last frame.
		// Free when it covers the frame: the renderer drops a clear that a
		// draw overwrites.
		target->Bind();
		glClearColor( 0.0f, 0.0f, 0.0f, 0.0f );
		glClear( GL_COLOR_BUFFER_BIT );
		result = instance->ProcessFrame( inputs );
	}
	if( result != FF_SUCCESS )
		throw plughost::Error( "the plug-in failed to render a frame" );
	if( !reader )
	{
		// The renderer works through the frame here; the read-back after is short.
		glFinish();
		gl->Finishing();
		ReadBack( out );
		return;
	}
	const unsigned readerRows = height / 2;
	GLsync rendered = glFenceSync( GL_SYNC_GPU_COMMANDS_COMPLETE, 0 );
	glFlush();
	// GL's top rows are frei0r's first ones.
	const std::function< void() > readTop = [ & ] {
		glClientWaitSync( rendered, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED );
		ReadRows( readerFramebuffer, height - readerRows, readerRows, out );
	};
	reader->Post( readTop );
	glFinish();
	gl->Finishing();
	ReadRows( target->Framebuffer(), 0, height - readerRows, out + static_cast< std::size_t >( readerRows ) * width );
	try
	{
		reader->Wait();
	}
	catch( ... )
	{
		glDeleteSync( rendered );
		throw;
	}
	glDeleteSync( rendered );
}

void BridgeInstance::StartReader()
{
	// Worth a thread only where the copy is long, and only with the driver
	// turning rows upright (GL_MESA_pack_invert) as it reads.
	if( !packInvert || static_cast< std::size_t >( width ) * height < kReaderPixels )
		return;
	try
	{
		// Its next job comes while the frame renders, and it then waits for
		// the renderer anyway: staying awake for it would only take a core
		// (and, on this machine, half the process's context switches).
		reader = std::make_unique< GLThread >( std::chrono::microseconds( 0 ) );
		reader->Run( [ this ] { MakeReader(); } );
	}
	catch( ... )
	{
	}
	if( reader && !readerContext )
		reader.reset();
}

void BridgeInstance::MakeReader() noexcept
{
	try
	{
		readerContext = std::make_unique< plughost::GLContext >( 4, 1, context->Handle() );
		GLuint name = 0;
		glGenFramebuffers( 1, &name );
		glBindFramebuffer( GL_READ_FRAMEBUFFER, name );
		glFramebufferTexture2D( GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target->Texture(), 0 );
		const bool complete = glCheckFramebufferStatus( GL_READ_FRAMEBUFFER ) == GL_FRAMEBUFFER_COMPLETE;
		glBindFramebuffer( GL_READ_FRAMEBUFFER, 0 );
		readerFramebuffer = name;
		if( !complete )
			FreeReader();
	}
	catch( ... )
	{
		readerContext.reset();
	}
}

void BridgeInstance::FreeReader() noexcept
{
	if( readerFramebuffer != 0 )
	{
		GLuint name = readerFramebuffer;
		glDeleteFramebuffers( 1, &name );
		readerFramebuffer = 0;
	}
	readerContext.reset();
}

// Reads `count` GL rows from `first` (counted from the bottom) into `out`,
// top row first where the driver can turn them (GL_MESA_pack_invert).
void BridgeInstance::ReadRows( uint32_t framebuffer, unsigned first, unsigned count, uint32_t* out )
{
	plughost::BindForReadPixels( framebuffer );
	if( packInvert )
		glPixelStorei( kPackInvertMesa, GL_TRUE );
	glReadPixels( 0, static_cast< GLint >( first ), static_cast< GLsizei >( width ), static_cast< GLsizei >( count ), GL_RGBA,
				  GL_UNSIGNED_BYTE, out );
	if( packInvert )
		glPixelStorei( kPackInvertMesa, GL_FALSE );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, 0 );
}
}// namespace ffglfrei0r
