// The instance base's default operations.
#include <gtest/gtest.h>

#include <ffgl/FFGLPlugin.h>
#include <string>

namespace
{
class Valued : public CFFGLPlugin
{
public:
	explicit Valued( float startValue ) :
		CFFGLPlugin( false ),
		value( startValue )
	{
		SetParamInfof( 0, "standard", FF_TYPE_STANDARD );
		SetParamInfof( 1, "integer", FF_TYPE_INTEGER );
		SetParamInfo( 2, "text", FF_TYPE_TEXT, "t" );
	}
	float GetFloatParameter( uint32_t index ) override { return index < 2 ? value : 0.0f; }
	float value;
};

TEST( PluginBase, SetParamInfofRegistersTheCurrentValueThroughTheDerivedClass )
{
	Valued low( 0.8f );
	EXPECT_EQ( low.GetParamDefault( 0 ).FloatValue, 0.8f );
	Valued high( 1.3f );
	EXPECT_EQ( high.GetParamDefault( 0 ).FloatValue, 1.0f );
	EXPECT_EQ( high.GetParamDefault( 1 ).FloatValue, 1.3f );
}

TEST( PluginBase, DefaultDisplayTextIsFixedSixDecimalsCutToFifteen )
{
	Valued plugin( 0.25f );
	EXPECT_STREQ( plugin.GetParameterDisplay( 0 ), "0.250000" );
	plugin.value = 100000000.0f;
	EXPECT_STREQ( plugin.GetParameterDisplay( 0 ), "100000000.00000" );
	plugin.value = 10000000.0f;
	EXPECT_STREQ( plugin.GetParameterDisplay( 0 ), "10000000.000000" );
	plugin.value = -12.25f;
	EXPECT_STREQ( plugin.GetParameterDisplay( 1 ), "-12.250000" );
	plugin.value = 3.0e38f;
	EXPECT_EQ( std::string( plugin.GetParameterDisplay( 1 ) ).size(), 15u );

	EXPECT_EQ( plugin.GetParameterDisplay( 9 ), nullptr );
	// The base has no text values: the text parameter answers the widened failure.
	EXPECT_EQ( static_cast< void* >( plugin.GetParameterDisplay( 2 ) ), FFWidenedFail() );
}

TEST( PluginBase, DefaultsRefuseParametersAndRenderingButKeepHousekeeping )
{
	CFFGLPlugin plugin( false );
	EXPECT_EQ( plugin.SetFloatParameter( 0, 1.0f ), FF_FAIL );
	EXPECT_EQ( plugin.SetTextParameter( 0, "x" ), FF_FAIL );
	EXPECT_EQ( plugin.GetFloatParameter( 0 ), 0.0f );
	EXPECT_EQ( static_cast< void* >( plugin.GetTextParameter( 0 ) ), FFWidenedFail() );
	EXPECT_EQ( plugin.ProcessOpenGL( nullptr ), FF_FAIL );
	EXPECT_EQ( plugin.GetShortName(), nullptr );
	EXPECT_EQ( plugin.Connect(), FF_SUCCESS );
	EXPECT_EQ( plugin.Disconnect(), FF_SUCCESS );
	EXPECT_EQ( plugin.DeInitGL(), FF_SUCCESS );

	// Fresh state: no viewport, no time, no sample rate, tempo 120.
	EXPECT_EQ( plugin.GetViewport().width, 0u );
	EXPECT_EQ( plugin.GetViewport().height, 0u );
	EXPECT_EQ( plugin.GetHostTime(), 0.0 );
	EXPECT_EQ( plugin.GetSampleRate(), 0u );
	EXPECT_EQ( plugin.GetBpm(), 120.0f );
	EXPECT_EQ( plugin.GetBarPhase(), 0.0f );

	FFGLViewportStruct viewport{ 1, 2, 30, 40 };
	EXPECT_EQ( plugin.InitGL( &viewport ), FF_SUCCESS );
	EXPECT_EQ( plugin.GetViewport().y, 2u );
	FFGLViewportStruct resized{ 0, 0, 7, 8 };
	EXPECT_EQ( plugin.Resize( &resized ), FF_SUCCESS );
	EXPECT_EQ( plugin.GetViewport().width, 7u );
	EXPECT_EQ( plugin.SetTime( 2.5 ), FF_SUCCESS );
	EXPECT_EQ( plugin.GetHostTime(), 2.5 );
	plugin.SetBeatInfo( 90.0f, 0.75f );
	EXPECT_EQ( plugin.GetBpm(), 90.0f );
	EXPECT_EQ( plugin.GetBarPhase(), 0.75f );
	plugin.SetHostInfo( "host", nullptr );
	EXPECT_EQ( plugin.GetHostInfo().name, "host" );
	EXPECT_EQ( plugin.GetHostInfo().version, "" );
	plugin.SetSampleRate( 48000 );
	EXPECT_EQ( plugin.GetSampleRate(), 48000u );
}

TEST( PluginBase, InputStatusFollowsTheMaximumInputs )
{
	CFFGLPlugin plugin( false );
	EXPECT_EQ( plugin.GetInputStatus( 0 ), FF_FAIL );
	plugin.SetMaxInputs( 1 );
	EXPECT_EQ( plugin.GetInputStatus( 0 ), FF_TRUE );
	EXPECT_EQ( plugin.GetInputStatus( 1 ), FF_FAIL );
}
}// namespace
