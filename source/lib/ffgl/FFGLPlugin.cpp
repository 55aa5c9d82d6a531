#include "FFGLPlugin.h"

#include <cstdio>
#include <cstring>

thread_local char CFFGLPlugin::s_DisplayValue[ 16 ];

CFFGLPlugin::CFFGLPlugin( bool supportTopLeftTextureOrientation ) :
	CFFGLPluginManager( supportTopLeftTextureOrientation )
{
}

CFFGLPlugin::~CFFGLPlugin() = default;

FFResult CFFGLPlugin::InitGL( const FFGLViewportStruct* viewport )
{
	if( viewport != nullptr )
		currentViewport = *viewport;
	return FF_SUCCESS;
}

FFResult CFFGLPlugin::DeInitGL()
{
	return FF_SUCCESS;
}

char* CFFGLPlugin::GetParameterDisplay( uint32_t index )
{
	CFFGLPlugin* self = m_pSelf != nullptr ? m_pSelf : this;
	uint32_t type     = self->GetParamType( index );
	if( type == FF_FAIL )
		return nullptr;
	if( type == FF_TYPE_TEXT || type == FF_TYPE_FILE )
		return GetTextParameter( index );

	// Fixed notation with six decimals; the largest float needs 46 characters.
	char text[ 64 ];
	snprintf( text, sizeof text, "%f", static_cast< double >( GetFloatParameter( index ) ) );
	memset( s_DisplayValue, 0, sizeof s_DisplayValue );
	memcpy( s_DisplayValue, text, strnlen( text, sizeof s_DisplayValue - 1 ) );
	return s_DisplayValue;
}

FFResult CFFGLPlugin::SetFloatParameter( uint32_t, float )
{
	return FF_FAIL;
}

FFResult CFFGLPlugin::SetTextParameter( uint32_t, const char* )
{
	return FF_FAIL;
}

float CFFGLPlugin::GetFloatParameter( uint32_t )
{
	return 0.0f;
}

char* CFFGLPlugin::GetTextParameter( uint32_t )
{
	return static_cast< char* >( FFWidenedFail() );
}

FFResult CFFGLPlugin::ProcessOpenGL( ProcessOpenGLStruct* )
{
	return FF_FAIL;
}

FFResult CFFGLPlugin::SetTime( double time )
{
	hostTime = time;
	return FF_SUCCESS;
}

void CFFGLPlugin::SetBeatInfo( float newBpm, float newBarPhase )
{
	bpm      = newBpm;
	barPhase = newBarPhase;
}

void CFFGLPlugin::SetHostInfo( const char* hostName, const char* hostVersion )
{
	// A host may leave either text out; keep an empty text rather than read null.
	hostInfo.name    = hostName != nullptr ? hostName : "";
	hostInfo.version = hostVersion != nullptr ? hostVersion : "";
}

void CFFGLPlugin::SetSampleRate( uint32_t newSampleRate )
{
	sampleRate = newSampleRate;
}

FFResult CFFGLPlugin::GetInputStatus( uint32_t inputIndex )
{
	return inputIndex < GetMaxInputs() ? FF_TRUE : FF_FAIL;
}

char* CFFGLPlugin::GetShortName()
{
	return nullptr;
}

FFResult CFFGLPlugin::Connect()
{
	return FF_SUCCESS;
}

FFResult CFFGLPlugin::Disconnect()
{
	return FF_SUCCESS;
}

FFResult CFFGLPlugin::Resize( const FFGLViewportStruct* viewport )
{
	if( viewport != nullptr )
		currentViewport = *viewport;
	return FF_SUCCESS;
}

void CFFGLPlugin::SetParamInfof( uint32_t ID, const char* name, uint32_t type )
{
	SetParamInfo( ID, name, type, GetFloatParameter( ID ) );
}
