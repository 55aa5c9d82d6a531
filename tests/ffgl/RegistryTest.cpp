// The parameter registry and the instance base, used directly.
#include <gtest/gtest.h>

#include <ffgl/FFGLPlugin.h>
#include <string>
#include <tuple>

namespace
{
struct Registry : CFFGLPluginManager
{
	Registry() : CFFGLPluginManager( false ) {}
};

// Only standard defaults are clamped, at registration; the text, file,
// option and buffer forms are read back through plugMain in EntryPointTest.
TEST( Registry, RegisteringFormsClampOnlyStandardDefaults )
{
	Registry r;
	r.SetParamInfo( 0, "high", FF_TYPE_STANDARD, 1.5f );
	r.SetParamInfo( 1, "low", FF_TYPE_STANDARD, -0.25f );
	r.SetParamInfo( 2, "integer", FF_TYPE_INTEGER, 20.0f );
	r.SetParamInfo( 3, "bool", FF_TYPE_BOOLEAN, true );
	r.SetParamRange( 2, 0.0f, 1.0f );// changing the range later never re-clamps
	EXPECT_EQ( ( std::tuple{ r.GetParamDefault( 0 ).FloatValue, r.GetParamDefault( 1 ).FloatValue, r.GetParamDefault( 2 ).FloatValue,
							 r.GetParamDefault( 3 ).FloatValue, r.GetNumParamElements( 0 ), r.GetNumParamElements( 3 ), std::string( r.GetParamElementName( 0, 0 ) ) } ),
			   std::tuple( 1.0f, 0.0f, 20.0f, 1.0f, 1u, 0u, "" ) );
}

// Answers for unknown IDs that plugMain does not reach; one ID registered
// twice is found at its first entry but counted twice.
TEST( Registry, UnregisteredAndRepeatedIds )
{
	Registry r;
	r.SetParamInfo( 0, "only", FF_TYPE_STANDARD, 0.5f );
	EXPECT_EQ( ( std::tuple{ r.GetParamGroup( 9 ), r.GetParamDisplayName( 9 ), r.SetParamElementValue( 9, 0, 1.0f ), r.SetParamElementValue( 0, 1, 1.0f ) } ),
			   std::tuple( "", "", FF_FAIL, FF_FAIL ) );
	r.SetParamVisibility( 9, false, true );
	r.RaiseParamEvent( 9, 4 );
	r.SetParamInfo( 0, "second", FF_TYPE_STANDARD, 0.2f );
	EXPECT_EQ( ( std::tuple{ r.GetNumPendingParamEvents(), r.GetNumParams(), std::string( r.GetParamName( 0 ) ) } ), std::tuple( 0u, 2u, "only" ) );
}

// Unchanged values, refused changes and unnotified changes raise nothing;
// notifying element changes always raises. Events come in registration
// order, up to the capacity, and flags of one parameter are merged.
TEST( Registry, ChangesRaiseEventFlagsOnlyAsTheirRulesSay )
{
	Registry r;
	r.SetParamInfo( 0, "standard", FF_TYPE_STANDARD, 0.5f );
	r.SetOptionParamInfo( 1, "option", 2, 0.0f );
	r.SetParamInfo( 2, "plain", FF_TYPE_STANDARD, 0.0f );
	r.SetParamElementInfo( 1, 2, "beyond", 6.0f );
	r.SetParamElements( 0, { "x" }, { 1.0f }, true );             // not an option
	r.SetParamElements( 1, { "x", "y", "z" }, { 1.0f, 2.0f }, true );// lengths differ
	r.SetParamVisibility( 0, true, true );                         // unchanged
	r.SetParamDisplayName( 0, "", true );                          // unchanged
	r.SetParamVisibility( 0, false, false );                       // no notification
	EXPECT_EQ( ( std::tuple{ r.GetNumParamElements( 1 ), r.GetNumPendingParamEvents() } ), std::tuple( 2u, 0u ) );
	r.SetParamElements( 1, { "x", "y", "z" }, { 1.0f, 2.0f, 3.0f }, false );
	r.SetParamElements( 1, { "x", "y", "z" }, { 1.0f, 2.0f, 3.0f }, true );
	r.SetParamVisibility( 0, true, true );
	r.SetParamVisibility( 0, true, true );
	r.SetParamDisplayName( 0, "shown", true );
	r.RaiseParamEvent( 2, 0x100000000ull );
	ParamEventStruct events[ 2 ]{};
	EXPECT_EQ( ( std::tuple{ r.GetNumPendingParamEvents(), r.ConsumeParamEvents( events, 0 ), r.ConsumeParamEvents( nullptr, 5 ),
						   r.ConsumeParamEvents( events, 2 ), std::string( r.GetParamElementName( 1, 2 ) ) } ),
			   std::tuple( 3u, 0u, 0u, 2u, "z" ) );
	EXPECT_EQ( ( std::tuple{ events[ 0 ].ParameterNumber, events[ 0 ].eventFlags, events[ 1 ].ParameterNumber, events[ 1 ].eventFlags } ),
			   std::tuple( 0u, FF_EVENT_FLAG_VISIBILITY | FF_EVENT_FLAG_DISPLAY_NAME, 1u, FF_EVENT_FLAG_ELEMENTS ) );
	EXPECT_EQ( ( std::tuple{ r.ConsumeParamEvents( events, 2 ), events[ 0 ].ParameterNumber, events[ 0 ].eventFlags, r.GetNumPendingParamEvents() } ),
			   std::tuple( 1u, 2u, 0x100000000ull, 0u ) );
}

class Valued : public CFFGLPlugin
{
public:
	explicit Valued( float startValue ) : CFFGLPlugin( false ), value( startValue )
	{
		SetParamInfof( 0, "standard", FF_TYPE_STANDARD );
		SetParamInfof( 1, "integer", FF_TYPE_INTEGER );
		SetParamInfo( 2, "text", FF_TYPE_TEXT, "t" );
	}
	float GetFloatParameter( uint32_t index ) override { return index < 2 ? value : 0.0f; }
	float value;
};

TEST( PluginBase, DefaultDisplayTextIsFixedSixDecimalsCutToFifteen )
{
	Valued plugin( 0.25f );
	for( auto [ value, shown ] : { std::pair{ 0.25f, "0.250000" }, { 100000000.0f, "100000000.00000" }, { 10000000.0f, "10000000.000000" },
								   { -12.25f, "-12.250000" }, { 3.4e38f, "339999995214436" } } )// the largest floats need 46 characters
	{
		plugin.value = value;
		EXPECT_STREQ( plugin.GetParameterDisplay( 1 ), shown );
	}
	// Unregistered: null; the base has no text values, so a text parameter answers the widened failure.
	EXPECT_EQ( ( std::tuple{ static_cast< void* >( plugin.GetParameterDisplay( 9 ) ), static_cast< void* >( plugin.GetParameterDisplay( 2 ) ) } ),
			   std::tuple( nullptr, FFWidenedFail() ) );
}

// A plain instance refuses parameters and rendering but keeps housekeeping
// and the host's state.
TEST( PluginBase, DefaultsRefuseParametersAndRenderingButKeepHousekeeping )
{
	CFFGLPlugin plugin( false );
	FFGLViewportStruct viewport{ 1, 2, 30, 40 };
	EXPECT_EQ( ( std::tuple{ plugin.SetFloatParameter( 0, 1.0f ), plugin.SetTextParameter( 0, "x" ), static_cast< void* >( plugin.GetTextParameter( 0 ) ),
							 plugin.ProcessOpenGL( nullptr ), plugin.Connect(), plugin.GetBpm(), plugin.InitGL( &viewport ), plugin.GetViewport().height,
							 plugin.SetTime( 2.5 ), plugin.GetHostTime() } ),
			   std::tuple( FF_FAIL, FF_FAIL, FFWidenedFail(), FF_FAIL, FF_SUCCESS, 120.0f, FF_SUCCESS, 40u, FF_SUCCESS, 2.5 ) );
	plugin.SetHostInfo( "host", nullptr );
	plugin.SetMaxInputs( 1 );
	EXPECT_EQ( ( std::tuple{ plugin.GetHostInfo().name, plugin.GetHostInfo().version, plugin.GetInputStatus( 0 ), plugin.GetInputStatus( 1 ) } ),
			   std::tuple( "host", "", FF_TRUE, FF_FAIL ) );
}
}// namespace
