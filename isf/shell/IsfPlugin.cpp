#include "IsfPlugin.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace isf
{
namespace
{
Payload Load()
{
	Payload payload;
	Dl_info info{};
	if( dladdr( reinterpret_cast< void* >( &LoadedPayload ), &info ) == 0 || info.dli_fname == nullptr )
	{
		payload.error = "the ISF plug-in cannot find its own file";
		payload.description = payload.error;
		return payload;
	}
	try
	{
		if( !ReadAppended( info.dli_fname, payload.bundle, payload.error ) )
		{
			payload.description = payload.error;
			return payload;
		}
		payload.name = payload.bundle.name;
		payload.id   = payload.bundle.id;
		payload.document = ParseDocument( payload.bundle.fragment, payload.bundle.fragmentFile );
	}
	catch( const std::exception& error )
	{
		payload.error       = error.what();
		payload.description = "Invalid ISF shader: " + payload.error;
		return payload;
	}
	const Document& document = payload.document;
	payload.type = document.kind == Kind::Source ? FF_SOURCE : document.kind == Kind::Effect ? FF_EFFECT : FF_MIXER;
	payload.description = document.description;
	if( !document.categories.empty() )
	{
		std::string list;
		for( const std::string& category : document.categories )
			list += ( list.empty() ? "" : ", " ) + category;
		payload.description += ( payload.description.empty() ? "" : " " ) + std::string( "[" ) + list + "]";
	}
	payload.about = document.credit.empty() ? "ISF shader " + payload.bundle.fragmentFile : document.credit;
	return payload;
}

// A host boolean is on above one half.
bool On( float value )
{
	return value > 0.5f;
}

float Finite( float value, float fallback )
{
	return std::isfinite( value ) ? value : fallback;
}

// DATE as (year, month, day, seconds in the day), local time. FFGL_ISF_DATE
// ("YYYY-MM-DD HH:MM:SS") fixes it, so frames can be compared across runs.
std::array< float, 4 > Today()
{
	int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
	if( const char* fixed = std::getenv( "FFGL_ISF_DATE" ) )
		if( std::sscanf( fixed, "%d-%d-%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second ) == 6 )
			return { float( year ), float( month ), float( day ), float( hour * 3600 + minute * 60 + second ) };
	const std::time_t now = std::time( nullptr );
	std::tm local{};
	localtime_r( &now, &local );
	return { float( local.tm_year + 1900 ), float( local.tm_mon + 1 ), float( local.tm_mday ),
			 float( local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec ) };
}
}// namespace

const Payload& LoadedPayload()
{
	static const Payload payload = Load();
	return payload;
}

IsfPlugin::IsfPlugin() :
	CFFGLPlugin( false ),
	payload( LoadedPayload() )
{
	const Document& document = payload.document;
	const uint32_t needs     = document.kind == Kind::Effect ? 1 : document.kind == Kind::Mixer ? 2 : 0;
	SetMinInputs( payload.error.empty() ? needs : 0 );
	SetMaxInputs( payload.error.empty() ? static_cast< uint32_t >( document.imageInputs.size() ) : 0 );
	if( payload.error.empty() )
		RegisterParameters();
}

void IsfPlugin::SetRangedDefault( uint32_t id, float value )
{
	// Registering a standard parameter clamps its default to 0..1; with a
	// range of its own the default is in the range's units.
	if( ParamInfo* info = FindParamInfo( id ) )
		info->defaultFloatVal = value;
}

void IsfPlugin::RegisterParameters()
{
	const Document& document = payload.document;
	auto add                 = [ & ]( size_t input, int component, bool relative, float value ) {
        links.push_back( { input, component, relative } );
        paramValues.push_back( value );
        return static_cast< uint32_t >( links.size() - 1 );
	};
	// A parameter over low..high (either order), widened to hold its start.
	auto ranged = [ & ]( size_t input, int component, bool relative, const char* name, uint32_t type, float low,
						 float high, float start ) {
		if( low > high )
			std::swap( low, high );
		const uint32_t id = add( input, component, relative, start );
		SetParamInfo( id, name, type, start );
		SetParamRange( id, std::min( low, start ), std::max( high, start ) );
		SetRangedDefault( id, start );
		return id;
	};
	for( size_t k = 0; k < document.inputs.size(); ++k )
	{
		const Input& input = document.inputs[ k ];
		const char* label  = input.label.c_str();
		switch( input.type )
		{
		case InputType::Float:
		{
			// Without DEFAULT the uniform starts at 0, as the reference
			// renderer leaves it; the host's range has to hold the start.
			ranged( k, 0, false, label, FF_TYPE_STANDARD, input.hasMin ? input.minimum[ 0 ] : 0.0f,
					input.hasMax ? input.maximum[ 0 ] : 1.0f, input.hasDefault ? input.defaultValue[ 0 ] : 0.0f );
			break;
		}
		case InputType::Bool:
		{
			const bool start  = input.hasDefault && On( input.defaultValue[ 0 ] );
			const uint32_t id = add( k, 0, false, start ? 1.0f : 0.0f );
			SetParamInfo( id, label, FF_TYPE_BOOLEAN, start );
			break;
		}
		case InputType::Event:
		{
			const uint32_t id = add( k, 0, false, 0.0f );
			SetParamInfo( id, label, FF_TYPE_EVENT, false );
			break;
		}
		case InputType::Long:
		{
			if( input.values.empty() )
			{
				// No VALUES: a plain integer over MIN..MAX.
				ranged( k, 0, false, label, FF_TYPE_INTEGER, input.hasMin ? input.minimum[ 0 ] : 0.0f,
						input.hasMax ? input.maximum[ 0 ] : 10.0f, input.hasDefault ? std::round( input.defaultValue[ 0 ] ) : 0.0f );
				break;
			}
			// The option's value is the element's position; the uniform gets VALUES[position].
			size_t start = 0;
			const int wanted = input.hasDefault ? static_cast< int >( std::lround( input.defaultValue[ 0 ] ) ) : 0;
			for( size_t e = 0; e < input.values.size(); ++e )
				if( input.values[ e ] == wanted )
				{
					start = e;
					break;
				}
			const uint32_t id = add( k, 0, false, static_cast< float >( start ) );
			SetOptionParamInfo( id, label, static_cast< uint32_t >( input.values.size() ), static_cast< float >( start ) );
			for( size_t e = 0; e < input.values.size(); ++e )
				SetParamElementInfo( id, static_cast< uint32_t >( e ), input.labels[ e ].c_str(), static_cast< float >( e ) );
			break;
		}
		case InputType::Point2D:
		{
			// MAX alone counts up from 0; without MAX the units are pixels.
			const bool relative = !input.hasMax;
			for( int axis = 0; axis < 2; ++axis )
			{
				float start = input.hasDefault ? input.defaultValue[ axis ] : 0.0f;
				if( relative )
					start = std::clamp( start, 0.0f, 1.0f );
				const std::string name = input.label + ( axis == 0 ? " X" : " Y" );
				const uint32_t id      = ranged( k, axis, relative, name.c_str(), FF_TYPE_STANDARD,
												 relative || !input.hasMin ? 0.0f : input.minimum[ axis ],
												 relative ? 1.0f : input.maximum[ axis ], start );
				SetParamGroup( id, input.label );
			}
			break;
		}
		case InputType::Color:
		{
			static const uint32_t types[] = { FF_TYPE_RED, FF_TYPE_GREEN, FF_TYPE_BLUE, FF_TYPE_ALPHA };
			static const char* suffix[]   = { " R", " G", " B", " A" };
			for( int c = 0; c < 4; ++c )
			{
				const float start      = input.hasDefault ? std::clamp( input.defaultValue[ c ], 0.0f, 1.0f ) : 0.0f;
				const std::string name = input.label + suffix[ c ];
				const uint32_t id      = add( k, c, false, start );
				SetParamInfo( id, name.c_str(), types[ c ], start );
				SetParamGroup( id, input.label );
			}
			break;
		}
		case InputType::Audio:
		case InputType::AudioFFT:
		{
			const uint32_t id = add( k, 0, false, 0.0f );
			SetBufferParamInfo( id, label, input.samples ? input.samples : 256,
								input.type == InputType::AudioFFT ? FF_USAGE_FFT : FF_USAGE_STANDARD );
			break;
		}
		case InputType::Image: break;
		}
	}
	touched.assign( links.size(), false );
	pendingEvents.assign( links.size(), false );
	lastAudio.assign( links.size(), {} );
}

std::array< float, 4 > IsfPlugin::UniformValue( size_t input ) const
{
	const Input& description = payload.document.inputs[ input ];
	std::array< float, 4 > value{};
	if( description.hasDefault )
		value = description.defaultValue;
	for( size_t id = 0; id < links.size(); ++id )
	{
		const ParamLink& link = links[ id ];
		if( link.input != input )
			continue;
		const float v = paramValues[ id ];
		if( description.type == InputType::Event )
		{
			value[ 0 ] = pendingEvents[ id ] ? 1.0f : 0.0f;
			continue;
		}
		// Until the host sets it, an input holds the file's DEFAULT as
		// written (0 without one), even where the parameter had to clamp
		// it or has no element for it.
		if( !touched[ id ] )
			continue;
		switch( description.type )
		{
		case InputType::Long:
			if( description.values.empty() )
				value[ 0 ] = std::round( v );
			else
			{
				const float last = static_cast< float >( description.values.size() - 1 );
				value[ 0 ]       = static_cast< float >( description.values[ static_cast< size_t >( std::clamp( std::round( v ), 0.0f, last ) ) ] );
			}
			break;
		case InputType::Point2D:
			if( !link.relative )
				value[ link.component ] = v;
			else
				value[ link.component ] = v * static_cast< float >( link.component == 0 ? currentViewport.width : currentViewport.height );
			break;
		default: value[ link.component ] = v; break;
		}
	}
	return value;
}

FFResult IsfPlugin::InitGL( const FFGLViewportStruct* viewport )
{
	CFFGLPlugin::InitGL( viewport );
	// The entry point has pushed the defaults by now: those are not the host's moves.
	std::fill( touched.begin(), touched.end(), false );
	if( !payload.error.empty() )
	{
		FFGLLog::LogToHost( payload.error.c_str() );
		return FF_FAIL;
	}
	std::string error;
	if( !renderer.Initialise( payload.document, payload.bundle, error ) )
	{
		// The host sees why in its log; the plug-in never draws a blank frame instead.
		FFGLLog::LogToHost( error.c_str() );
		ffglex::Log( error );
		return FF_FAIL;
	}
	return FF_SUCCESS;
}

FFResult IsfPlugin::DeInitGL()
{
	renderer.Release();
	return FF_SUCCESS;
}

FFResult IsfPlugin::SetTime( double time )
{
	if( !std::isfinite( time ) )
		return FF_FAIL;
	timeFromHost = true;
	return CFFGLPlugin::SetTime( time );
}

FFResult IsfPlugin::ProcessOpenGL( ProcessOpenGLStruct* pGL )
{
	if( pGL == nullptr )
		return FF_FAIL;
	FrameState frame;
	double now = 0.0;
	if( timeFromHost )
		now = hostTime;
	else
	{
		if( frames == 0 )
			started = std::chrono::steady_clock::now();
		now = std::chrono::duration< double >( std::chrono::steady_clock::now() - started ).count();
	}
	frame.time       = static_cast< float >( now );
	frame.timeDelta  = frames == 0 ? 0.0f : static_cast< float >( std::max( 0.0, now - lastTime ) );
	frame.frameIndex = frames;
	frame.date       = Today();

	const Document& document = payload.document;
	for( size_t k = 0; k < document.inputs.size(); ++k )
		if( document.inputs[ k ].type != InputType::Image )
			renderer.SetValue( k, UniformValue( k ) );
	for( size_t id = 0; id < links.size(); ++id )
	{
		const Input& input = document.inputs[ links[ id ].input ];
		if( input.type != InputType::Audio && input.type != InputType::AudioFFT )
			continue;
		const ParamInfo* info = FindParamInfo( static_cast< uint32_t >( id ) );
		if( info == nullptr )
			continue;
		std::vector< float > samples( info->elements.size() );
		for( size_t e = 0; e < samples.size(); ++e )
		{
			const float v = Finite( info->elements[ e ].value, 0.0f );
			samples[ e ]  = input.type == InputType::Audio ? 0.5f + 0.5f * v : v;
		}
		if( samples != lastAudio[ id ] )
		{
			renderer.SetAudio( links[ id ].input, samples );
			lastAudio[ id ] = samples;
		}
	}
	std::vector< SourceTexture > images;
	const uint32_t count = pGL->inputTextures != nullptr ? pGL->numInputTextures : 0;
	for( uint32_t k = 0; k < count; ++k )
	{
		const FFGLTextureStruct* texture = pGL->inputTextures[ k ];
		SourceTexture source;
		if( texture != nullptr && texture->Handle != 0 && texture->Width > 0 && texture->Height > 0 )
		{
			source.handle = texture->Handle;
			source.width  = static_cast< float >( texture->Width );
			source.height = static_cast< float >( texture->Height );
			source.scaleX = texture->HardwareWidth >= texture->Width ? source.width / static_cast< float >( texture->HardwareWidth ) : 1.0f;
			source.scaleY = texture->HardwareHeight >= texture->Height ? source.height / static_cast< float >( texture->HardwareHeight ) : 1.0f;
		}
		images.push_back( source );
	}
	const std::array< GLint, 4 > viewport = { static_cast< GLint >( currentViewport.x ), static_cast< GLint >( currentViewport.y ),
											  static_cast< GLint >( currentViewport.width ), static_cast< GLint >( currentViewport.height ) };
	std::string error;
	if( !renderer.Render( frame, images, viewport, error ) )
	{
		FFGLLog::LogToHost( error.c_str() );
		return FF_FAIL;
	}
	// An event is true for the one frame after it fired.
	std::fill( pendingEvents.begin(), pendingEvents.end(), false );
	lastTime = now;
	++frames;
	return FF_SUCCESS;
}

FFResult IsfPlugin::SetFloatParameter( uint32_t index, float value )
{
	if( index >= links.size() || !std::isfinite( value ) )
		return FF_FAIL;
	const Input& input = payload.document.inputs[ links[ index ].input ];
	// Buffers take their samples element by element (code 37); the value
	// the entry point pushes at instantiation has nothing to set.
	if( input.type == InputType::Audio || input.type == InputType::AudioFFT )
		return FF_SUCCESS;
	if( input.type == InputType::Event )
	{
		if( On( value ) )
			pendingEvents[ index ] = true;
		return FF_SUCCESS;
	}
	paramValues[ index ] = value;
	touched[ index ]     = true;
	return FF_SUCCESS;
}

float IsfPlugin::GetFloatParameter( uint32_t index )
{
	if( index >= links.size() )
		return 0.0f;
	const Input& input = payload.document.inputs[ links[ index ].input ];
	if( input.type == InputType::Event )
		return pendingEvents[ index ] ? 1.0f : 0.0f;
	return paramValues[ index ];
}

char* IsfPlugin::GetParameterDisplay( uint32_t index )
{
	if( index < links.size() )
	{
		const Input& input = payload.document.inputs[ links[ index ].input ];
		if( input.type == InputType::Long && !input.values.empty() )
		{
			const float last   = static_cast< float >( input.values.size() - 1 );
			const size_t which = static_cast< size_t >( std::clamp( std::round( paramValues[ index ] ), 0.0f, last ) );
			std::snprintf( s_DisplayValue, sizeof s_DisplayValue, "%s", input.labels[ which ].c_str() );
			return s_DisplayValue;
		}
	}
	return CFFGLPlugin::GetParameterDisplay( index );
}
}// namespace isf
