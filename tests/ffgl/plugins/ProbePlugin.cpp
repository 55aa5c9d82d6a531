// A plug-in that takes the entry-point branches the clock never takes: text
// and file parameters, a thumbnail, library hooks, top-left orientation,
// parameter events, groups, display names and separators. It reports its
// lifecycle calls through the host log so tests can count them. Compile-time
// switches turn it into the failing variants.
#include <FFGLSDK.h>

#include <stdexcept>
#include <string>

namespace
{
int constructions_ = 0;

class ProbePlugin : public CFFGLPlugin
{
public:
	ProbePlugin() :
		CFFGLPlugin( true )
	{
		++constructions_;
#if defined( PROBE_CTOR_THROWS )
		throw std::runtime_error( "constructor refuses" );
#elif defined( PROBE_INSTANCE_CTOR_THROWS )
		if( constructions_ > 1 )
			throw std::bad_alloc();
#endif
		SetMinInputs( 1 );
		SetMaxInputs( 2 );
		SetTimeSupported( false );

		SetParamInfo( 0, "Label", FF_TYPE_TEXT, "hello" );
		SetFileParamInfo( 1, "Image", { "png", "jpg" }, "a.png" );
		SetOptionParamInfo( 2, "Mode", 3, 1.0f );
		SetParamElementInfo( 2, 0, "First", 10.0f );
		SetParamElementInfo( 2, 1, "Second", 20.0f );
		SetParamElementInfo( 2, 2, "Third", 30.0f );
		AddElementSeparator( 2, 1 );
		AddElementSeparator( 2, 7 );
		SetParamDisplayName( 2, "Mode shown", false );
		SetParamGroup( 2, "Groupy" );
		SetParamInfo( 3, "Amount", FF_TYPE_STANDARD, 0.25f );
		SetBufferParamInfo( 4, "Spectrum", 4, FF_USAGE_FFT );
		SetParamInfo( 5, "Hidden", FF_TYPE_STANDARD, 2.0f );
		SetParamVisibility( 5, false, false );
		SetParamInfo( 6, "Flag", FF_TYPE_BOOLEAN, true );
	}
	~ProbePlugin() override
	{
		FFGLLog::LogToHost( "destroyed" );
	}

	FFResult InitGL( const FFGLViewportStruct* viewport ) override
	{
		FFGLLog::LogToHost( "InitGL" );
#if defined( PROBE_INITGL_FAILS )
		(void)viewport;
		return FF_FAIL;
#elif defined( PROBE_INITGL_THROWS )
		(void)viewport;
		throw std::runtime_error( "no GL today" );
#else
		return CFFGLPlugin::InitGL( viewport );
#endif
	}
	FFResult DeInitGL() override
	{
		FFGLLog::LogToHost( "DeInitGL" );
		return FF_SUCCESS;
	}
	FFResult Connect() override
	{
		FFGLLog::LogToHost( "Connect" );
		return amount > 0.9f ? FF_FAIL : FF_SUCCESS;
	}
	FFResult Disconnect() override
	{
		FFGLLog::LogToHost( "Disconnect" );
		return FF_SUCCESS;
	}
	FFResult ProcessOpenGL( ProcessOpenGLStruct* ) override
	{
		FFGLLog::LogToHost( "ProcessOpenGL" );
		return FF_SUCCESS;
	}
	char* GetShortName() override
	{
		return const_cast< char* >( "Probe" );
	}

	FFResult SetTextParameter( uint32_t index, const char* value ) override
	{
		if( index > 1 || value == nullptr )
			return FF_FAIL;
		texts[ index ] = value;
		return FF_SUCCESS;
	}
	char* GetTextParameter( uint32_t index ) override
	{
		if( index > 1 )
			return CFFGLPlugin::GetTextParameter( index );
		return const_cast< char* >( texts[ index ].c_str() );
	}
	FFResult SetFloatParameter( uint32_t index, float value ) override
	{
		switch( index )
		{
		case 2: mode = value; return FF_SUCCESS;
		case 3:
			amount = value;
			if( value == 0.5f )
				ChangeDescriptions();
			return FF_SUCCESS;
		case 4: return FF_SUCCESS;
		case 5: hidden = value; return FF_SUCCESS;
		case 6: flag = value; return FF_SUCCESS;
		default: return FF_FAIL;
		}
	}
	float GetFloatParameter( uint32_t index ) override
	{
		switch( index )
		{
		case 2: return mode;
		case 3: return amount;
		case 5: return hidden;
		case 6: return flag;
		default: return 0.0f;
		}
	}

private:
	// Three parameters change at once, so the host has more events pending
	// than a small array holds.
	void ChangeDescriptions()
	{
		SetParamDisplayName( 2, "Renamed", true );
		SetParamElements( 2, { "A", "B" }, { 1.0f, 2.0f }, true );
		SetParamVisibility( 5, true, true );
		RaiseParamEvent( 6, FF_EVENT_FLAG_VALUE );
	}

	std::string texts[ 2 ];
	float mode   = 0.0f;
	float amount = 0.0f;
	float hidden = 0.0f;
	float flag   = 0.0f;
};

FFResult InitialiseHook()
{
	FFGLLog::LogToHost( "initialise hook" );
	return FF_SUCCESS;
}

void DeinitialiseHook()
{
	FFGLLog::LogToHost( "de-initialise hook" );
}

#if defined( PROBE_FACTORY_FAILS )
FFResult Factory( CFFGLPlugin** )
{
	return FF_FAIL;
}
#else
FFResult Factory( CFFGLPlugin** instance )
{
	return PluginFactory< ProbePlugin >( instance );
}
#endif

const unsigned char extendedData_[ 3 ] = { 'x', 'y', 'z' };

const CFFGLColor thumbnailPixels_[ 4 ] = { CFFGLColor( 1, 2, 3, 4 ), CFFGLColor( 0xAABBCCDDu ), CFFGLColor( 5, 6, 7, 8 ), CFFGLColor() };
CFFGLThumbnailInfo thumbnail_( 2, 2, thumbnailPixels_ );

CFFGLPluginInfo pluginInfo_( Factory,
							 "PRB1",
							 "Probe plug-in name",
							 2,
							 1,
							 3,
							 7,
							 FF_EFFECT,
							 "A plug-in for testing the entry point",
							 "Test team",
							 sizeof extendedData_,
							 extendedData_,
							 InitialiseHook,
							 DeinitialiseHook );
}// namespace
