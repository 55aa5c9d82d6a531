#include "FFGLQSPlugin.h"
#include <cmath>
#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include "../ffglex/FFGLScopedShaderBinding.h"
#include "../ffglex/FFGLUtilities.h"

namespace ffglqs
{
thread_local char Plugin::displayValueBuffer[ 16 ] = {};

namespace
{
const char* const fragmentHeader_ =
	"\n\t\t#version 410 core\n\t\tout vec4 fragColor;\n\t\tuniform vec2 resolution;\n\t\tuniform float time;\n"
	"\t\tuniform float deltaTime;\n\t\tuniform int frame;\n\t\tuniform float bpm;\n\t\tuniform float phase;\n\t";
}// namespace

Plugin::Plugin( bool supportTopLeftTextureOrientation ) :
	CFFGLPlugin( supportTopLeftTextureOrientation ),
	startTime( std::chrono::steady_clock::now() ),
	fragmentShaderCodeStart( fragmentHeader_ )
{
}

Plugin::~Plugin() = default;

FFResult Plugin::InitGL( const FFGLViewportStruct* viewport )
{
	// Without its entropy source the instance cannot keep its promise of
	// seeded random numbers, so it refuses to start rather than throw.
	if( !randomGenerator.IsSeeded() )
	{
		DeInitGL();
		return FF_FAIL;
	}
	std::string text = CreateFragmentShader( fragmentShaderCode );
	if( !shader.Compile( vertexShaderCode, text ) )
	{
		DeInitGL();
		return FF_FAIL;
	}
	if( !quad.Initialise( false ) )
	{
		DeInitGL();
		return FF_FAIL;
	}
	if( Init() == FF_FAIL )
	{
		DeInitGL();
		return FF_FAIL;
	}
	return CFFGLPlugin::InitGL( viewport );
}

FFResult Plugin::DeInitGL()
{
	shader.FreeGLResources();
	quad.Release();
	Clean();
	return FF_SUCCESS;
}

char* Plugin::GetParameterDisplay( uint32_t index )
{
	if( !HasParamAt( index ) )
		return static_cast< char* >( FFWidenedFail() );
	uint32_t type = params[ index ]->GetType();
	if( type == FF_TYPE_TEXT || type == FF_TYPE_FILE )
		return static_cast< char* >( FFWidenedFail() );
	std::string text = std::to_string( params[ index ]->GetValue() );
	std::memset( displayValueBuffer, 0, sizeof displayValueBuffer );
	std::memcpy( displayValueBuffer, text.data(), std::min( text.size(), sizeof displayValueBuffer - 1 ) );
	return displayValueBuffer;
}

FFResult Plugin::SetFloatParameter( uint32_t index, float value )
{
	// A NaN or an infinity would be stored, read back and sent as a uniform.
	if( !HasParamAt( index ) || !std::isfinite( value ) )
		return FF_FAIL;
	params[ index ]->SetValue( value );
	return FF_SUCCESS;
}

FFResult Plugin::SetTextParameter( uint32_t index, const char* value )
{
	if( !HasParamAt( index ) )
		return FF_FAIL;
	auto text = std::dynamic_pointer_cast< ParamText >( params[ index ] );
	if( !text )
		return FF_FAIL;
	text->text = value != nullptr ? value : "";
	return FF_SUCCESS;
}

float Plugin::GetFloatParameter( uint32_t index )
{
	if( !HasParamAt( index ) )
		return 0.0f;
	return params[ index ]->GetValue();
}

char* Plugin::GetTextParameter( uint32_t index )
{
	if( HasParamAt( index ) )
	{
		auto text = std::dynamic_pointer_cast< ParamText >( params[ index ] );
		if( text )
			return text->text.data();
	}
	return static_cast< char* >( FFWidenedFail() );
}

FFResult Plugin::ProcessOpenGL( ProcessOpenGLStruct* pGL )
{
	UpdateAudioAndTime();
	FFResult result;
	{
		ffglex::ScopedShaderBinding shaderBinding( shader.GetGLID() );
		SendDefaultParams( shader );
		SendParams( shader );
		Update();
		result = Render( pGL );
		consumeAllTrigger();
	}
	return result;
}

void Plugin::SetSampleRate( uint32_t rate )
{
	CFFGLPlugin::SetSampleRate( rate );
	// Rates beyond the analyser's signed range are not audio rates; cap them
	// instead of letting the conversion wrap to a negative rate.
	int32_t analyserRate = rate > static_cast< uint32_t >( std::numeric_limits< int32_t >::max() )
							   ? std::numeric_limits< int32_t >::max()
							   : static_cast< int32_t >( rate );
	for( auto& entry : audioAnalysers )
		entry.second.SetSampleRate( analyserRate );
}

FFResult Plugin::Init()
{
	return FF_SUCCESS;
}

void Plugin::Update()
{
}

FFResult Plugin::Render( ProcessOpenGLStruct* )
{
	ffglex::ScopedShaderBinding shaderBinding( shader.GetGLID() );
	quad.Draw();
	return FF_SUCCESS;
}

void Plugin::Clean()
{
}

void Plugin::AddParam( std::shared_ptr< Param > param )
{
	if( !param )
		return;
	uint32_t index = static_cast< uint32_t >( params.size() );
	// A text parameter registers its text: the registry's default is what
	// every new instance is given, so a float default would blank it.
	if( auto text = std::dynamic_pointer_cast< ParamText >( param ) )
		SetParamInfo( index, param->GetName().c_str(), param->GetType(), text->text.c_str() );
	else
		SetParamInfo( index, param->GetName().c_str(), param->GetType(), param->GetValue() );
	params.push_back( std::move( param ) );
}

void Plugin::AddParam( std::shared_ptr< ParamRange > param )
{
	if( !param )
		return;
	uint32_t index = static_cast< uint32_t >( params.size() );
	float value = param->GetValue();
	SetParamInfo( index, param->GetName().c_str(), param->GetType(), value );
	// The registry clamps standard defaults into 0..1, but a ranged value
	// lives in its own range: keep the author's default.
	if( value < 0.0f || value > 1.0f )
	{
		if( CFFGLPluginManager::ParamInfo* info = FindParamInfo( index ) )
			info->defaultFloatVal = value;
	}
	ParamRange::Range range = param->GetRange();
	SetParamRange( index, range.min, range.max );
	params.push_back( std::move( param ) );
}

void Plugin::AddParam( std::shared_ptr< ParamOption > param )
{
	if( !param )
		return;
	uint32_t index = static_cast< uint32_t >( params.size() );
	SetOptionParamInfo( index, param->GetName().c_str(), static_cast< uint32_t >( param->options.size() ), param->GetValue() );
	// Towards the host an element is valued by its position; the option's
	// own value stays with the plug-in (GetRealValue).
	for( size_t j = 0; j < param->options.size(); ++j )
		SetParamElementInfo( index, static_cast< uint32_t >( j ), param->options[ j ].name.c_str(), static_cast< float >( j ) );
	params.push_back( std::move( param ) );
}

void Plugin::AddParam( std::shared_ptr< ParamFFT > param )
{
	if( !param )
		return;
	uint32_t index = static_cast< uint32_t >( params.size() );
	audioAnalysers[ param ] = Audio();
	param->index = index;
	SetBufferParamInfo( index, param->GetName().c_str(), static_cast< uint32_t >( param->fftData.size() ), FF_USAGE_FFT );
	params.push_back( std::move( param ) );
}

void Plugin::AddRGBColorParam( const std::string& name )
{
	AddParam( Param::Create( name, FF_TYPE_RED, 0.5f ) );
	AddParam( Param::Create( name + "_green", FF_TYPE_GREEN, 0.5f ) );
	AddParam( Param::Create( name + "_blue", FF_TYPE_BLUE, 0.5f ) );
}

void Plugin::AddHueColorParam( const std::string& name )
{
	AddParam( Param::Create( name, FF_TYPE_HUE, 0.0f ) );
	AddParam( Param::Create( name + "_saturation", FF_TYPE_SATURATION, 0.0f ) );
	AddParam( Param::Create( name + "_brightness", FF_TYPE_BRIGHTNESS, 1.0f ) );
	AddParam( Param::Create( name + "_alpha", FF_TYPE_ALPHA, 1.0f ) );
}

std::shared_ptr< Param > Plugin::GetParam( const std::string& name ) const
{
	for( const auto& param : params )
	{
		if( param->GetName() == name )
			return param;
	}
	return nullptr;
}

std::shared_ptr< ParamOption > Plugin::GetParamOption( const std::string& name ) const
{
	return std::dynamic_pointer_cast< ParamOption >( GetParam( name ) );
}

std::shared_ptr< ParamText > Plugin::GetParamText( const std::string& name ) const
{
	return std::dynamic_pointer_cast< ParamText >( GetParam( name ) );
}

void Plugin::Include( shader::snippet_id id )
{
	if( !includedSnippets.insert( id ).second )
		return;
	auto found = shader::dependencies.find( id );
	if( found != shader::dependencies.end() )
		includedSnippets.insert( found->second.begin(), found->second.end() );
}

void Plugin::Include( const std::set< shader::snippet_id >& ids )
{
	for( shader::snippet_id id : ids )
		Include( id );
}

void Plugin::SetFragmentShader( std::string code )
{
	fragmentShaderCode = std::move( code );
}

const Audio* Plugin::GetAudio( const std::shared_ptr< ParamFFT >& param ) const
{
	auto found = audioAnalysers.find( param );
	return found != audioAnalysers.end() ? &found->second : nullptr;
}

std::string Plugin::CreateFragmentShader( const std::string& code ) const
{
	std::string text = fragmentShaderCodeStart;
	int32_t count = static_cast< int32_t >( params.size() );
	for( int32_t i = 0; i < count; )
	{
		const Param& param = *params[ i ];
		uint32_t type = param.GetType();
		if( IsRGBColor( i ) )
		{
			text += "uniform vec3 " + param.GetName() + ";\n";
			i += 3;
		}
		else if( IsHueColor( i ) )
		{
			text += "uniform vec4 " + param.GetName() + ";\n";
			i += 4;
		}
		else if( type == FF_TYPE_BOOLEAN || type == FF_TYPE_EVENT )
		{
			text += "uniform bool " + param.GetName() + ";\n";
			i += 1;
		}
		else if( type == FF_TYPE_BUFFER )
		{
			i += 1;
		}
		else
		{
			text += "uniform float " + param.GetName() + ";\n";
			i += 1;
		}
	}
	for( shader::snippet_id id : includedSnippets )
	{
		auto found = shader::snippets.find( id );
		if( found != shader::snippets.end() )
			text += found->second;
	}
	text += code;
	return text;
}

void Plugin::UpdateAudioAndTime()
{
	frame += 1;
	auto elapsed = std::chrono::duration_cast< std::chrono::duration< float, std::milli > >( std::chrono::steady_clock::now() - startTime );
	timeNow = elapsed.count() / 1000.0f;
	deltaTime = timeNow - lastTime;
	lastTime = timeNow;

	for( auto& entry : audioAnalysers )
	{
		ParamFFT& param = *entry.first;
		if( const ParamInfo* info = FindParamInfo( param.index ) )
		{
			size_t count = std::min( param.fftData.size(), info->elements.size() );
			for( size_t k = 0; k < count; ++k )
				param.fftData[ k ] = info->elements[ k ].value;
		}
		entry.second.Update( param.fftData );
	}
}

void Plugin::SendDefaultParams( ffglex::FFGLShader& target )
{
	target.Set( "time", timeNow );
	target.Set( "deltaTime", deltaTime );
	target.Set( "frame", static_cast< int >( frame ) );
	target.Set( "resolution", static_cast< float >( currentViewport.width ), static_cast< float >( currentViewport.height ) );
	target.Set( "bpm", bpm );
	target.Set( "phase", barPhase );
}

void Plugin::SendParams( ffglex::FFGLShader& target )
{
	int32_t count = static_cast< int32_t >( params.size() );
	for( int32_t i = 0; i < count; )
	{
		const Param& param = *params[ i ];
		const char* name = param.GetName().c_str();
		uint32_t type = param.GetType();
		if( IsRGBColor( i ) )
		{
			target.Set( name, params[ i ]->GetValue(), params[ i + 1 ]->GetValue(), params[ i + 2 ]->GetValue() );
			i += 3;
		}
		else if( IsHueColor( i ) )
		{
			float hue = params[ i ]->GetValue();
			float saturation = params[ i + 1 ]->GetValue();
			float brightness = params[ i + 2 ]->GetValue();
			float alpha = params[ i + 3 ]->GetValue();
			// Hue 1 is a full turn, the same colour as hue 0.
			if( hue == 1.0f )
				hue = 0.0f;
			float r, g, b;
			ffglex::HSVtoRGB( hue, saturation, brightness, r, g, b );
			target.Set( name, r, g, b, alpha );
			i += 4;
		}
		else if( type == FF_TYPE_BOOLEAN || type == FF_TYPE_EVENT )
		{
			target.Set( name, param.GetValue() != 0.0f ? 1 : 0 );
			i += 1;
		}
		else if( type == FF_TYPE_BUFFER )
		{
			i += 1;
		}
		else
		{
			target.Set( name, param.GetValue() );
			i += 1;
		}
	}
}

void Plugin::consumeAllTrigger()
{
	for( const auto& param : params )
	{
		if( auto trigger = std::dynamic_pointer_cast< ParamTrigger >( param ) )
			trigger->Consume();
	}
}

bool Plugin::IsRGBColor( int32_t index ) const
{
	if( index < 0 || static_cast< size_t >( index ) + 2 >= params.size() )
		return false;
	return params[ index ]->GetType() == FF_TYPE_RED && params[ index + 1 ]->GetType() == FF_TYPE_GREEN &&
		   params[ index + 2 ]->GetType() == FF_TYPE_BLUE;
}

bool Plugin::IsHueColor( int32_t index ) const
{
	if( index < 0 || static_cast< size_t >( index ) + 3 >= params.size() )
		return false;
	return params[ index ]->GetType() == FF_TYPE_HUE && params[ index + 1 ]->GetType() == FF_TYPE_SATURATION &&
		   params[ index + 2 ]->GetType() == FF_TYPE_BRIGHTNESS && params[ index + 3 ]->GetType() == FF_TYPE_ALPHA;
}

}// namespace ffglqs
