// The parameter registry, used directly.
#include <gtest/gtest.h>

#include <ffgl/FFGLPluginManager.h>

namespace
{
struct Registry : CFFGLPluginManager
{
	Registry() : CFFGLPluginManager( false ) {}
};

TEST( Registry, RegisteringFormsFillTheirFieldsAndClampOnlyStandardDefaults )
{
	Registry r;
	r.SetParamInfo( 0, "high", FF_TYPE_STANDARD, 1.5f );
	r.SetParamInfo( 1, "low", FF_TYPE_STANDARD, -0.25f );
	r.SetOptionParamInfo( 2, "option", 3, 7.0f );
	r.SetParamInfo( 3, "integer", FF_TYPE_INTEGER, 20.0f );
	r.SetParamInfo( 4, "bool", FF_TYPE_BOOLEAN, true );
	r.SetParamInfo( 5, "text", FF_TYPE_TEXT, "abc" );
	r.SetBufferParamInfo( 6, "buffer", 5, FF_USAGE_FFT );
	r.SetFileParamInfo( 7, "file", { "png", "exr" }, "x.png" );

	const float defaults[] = { 1.0f, 0.0f, 7.0f, 20.0f, 1.0f };
	const uint32_t elements[] = { 1, 1, 3, 1, 0, 1, 5, 0 };
	for( uint32_t id = 0; id < 8; ++id )
	{
		if( id < 5 )
		{
			EXPECT_EQ( r.GetParamDefault( id ).FloatValue, defaults[ id ] ) << id;
		}
		EXPECT_EQ( r.GetNumParamElements( id ), elements[ id ] ) << id;
		EXPECT_EQ( r.GetParamUsage( id ), id == 6 ? FF_USAGE_FFT : FF_USAGE_STANDARD ) << id;
	}
	EXPECT_STREQ( r.GetParamElementName( 0, 0 ), "" );
	EXPECT_STREQ( static_cast< const char* >( r.GetParamDefault( 5 ).PointerValue ), "abc" );
	EXPECT_STREQ( static_cast< const char* >( r.GetParamDefault( 7 ).PointerValue ), "x.png" );
	EXPECT_EQ( r.GetParamType( 6 ), FF_TYPE_BUFFER );
	EXPECT_STREQ( r.GetFileParamExtension( 7, 1 ), "exr" );
	EXPECT_EQ( r.GetFileParamExtension( 7, 2 ), nullptr );
	// Changing the range later never re-clamps.
	r.SetParamRange( 3, 0.0f, 1.0f );
	EXPECT_EQ( r.GetParamDefault( 3 ).FloatValue, 20.0f );
}

TEST( Registry, UnregisteredIdsAnswerTheirFailureValues )
{
	Registry r;
	r.SetParamInfo( 0, "only", FF_TYPE_STANDARD, 0.5f );
	EXPECT_EQ( r.GetParamName( 9 ), nullptr );
	EXPECT_EQ( r.GetParamType( 9 ), FF_FAIL );
	EXPECT_EQ( r.GetParamDefault( 9 ).UIntValue, FF_FAIL );
	EXPECT_EQ( r.GetParamVisibility( 9 ), FF_FAIL );
	EXPECT_EQ( r.GetParamRange( 9 ).min, 0.0f );
	EXPECT_EQ( r.GetParamRange( 9 ).max, 1.0f );
	EXPECT_EQ( r.GetParamGroup( 9 ), "" );
	EXPECT_EQ( r.GetParamDisplayName( 9 ), "" );
	EXPECT_EQ( r.GetParamElementDefault( 0, 1 ).UIntValue, FF_FAIL );
	EXPECT_EQ( r.GetElementSeparatorElementIndex( 9, 0 ), FF_FAIL );
	EXPECT_EQ( r.SetParamElementValue( 9, 0, 1.0f ), FF_FAIL );
	EXPECT_EQ( r.SetParamElementValue( 0, 1, 1.0f ), FF_FAIL );
	EXPECT_EQ( r.SetParamElementValue( 0, 0, 3.0f ), FF_SUCCESS );
	EXPECT_EQ( r.GetParamElementDefault( 0, 0 ).FloatValue, 3.0f );
	r.SetParamVisibility( 9, false, true );
	r.RaiseParamEvent( 9, 4 );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 0u );

	// Two entries with one ID: lookups find the first, the count has both.
	r.SetParamInfo( 0, "second", FF_TYPE_STANDARD, 0.2f );
	EXPECT_EQ( r.GetNumParams(), 2u );
	EXPECT_STREQ( r.GetParamName( 0 ), "only" );
}

TEST( Registry, ChangesRaiseEventFlagsOnlyAsTheirRulesSay )
{
	Registry r;
	r.SetParamInfo( 0, "standard", FF_TYPE_STANDARD, 0.5f );
	r.SetOptionParamInfo( 1, "option", 2, 0.0f );
	r.SetParamElementInfo( 1, 2, "beyond", 6.0f );
	r.SetParamElements( 0, { "x" }, { 1.0f }, true );             // not an option
	r.SetParamElements( 1, { "x", "y", "z" }, { 1.0f, 2.0f }, true );// lengths differ
	r.SetParamVisibility( 0, true, true );                         // unchanged
	r.SetParamDisplayName( 0, "", true );                          // unchanged
	r.SetParamVisibility( 0, false, false );                       // no notification
	EXPECT_EQ( r.GetNumParamElements( 1 ), 2u );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 0u );

	// Notifying raises the elements flag even when nothing differs.
	r.SetParamElements( 1, { "x", "y", "z" }, { 1.0f, 2.0f, 3.0f }, false );
	r.SetParamElements( 1, { "x", "y", "z" }, { 1.0f, 2.0f, 3.0f }, true );
	r.SetParamVisibility( 0, true, true );
	r.SetParamVisibility( 0, true, true );
	r.SetParamDisplayName( 0, "shown", true );
	EXPECT_STREQ( r.GetParamElementName( 1, 2 ), "z" );
	ParamEventStruct events[ 2 ]{};
	ASSERT_EQ( r.ConsumeParamEvents( events, 2 ), 2u );
	EXPECT_EQ( events[ 0 ].eventFlags, FF_EVENT_FLAG_VISIBILITY | FF_EVENT_FLAG_DISPLAY_NAME );
	EXPECT_EQ( events[ 1 ].eventFlags, FF_EVENT_FLAG_ELEMENTS );
}

TEST( Registry, EventsAreDeliveredInRegistrationOrderUpToCapacity )
{
	Registry r;
	for( uint32_t id : { 4u, 2u, 7u, 1u } )
		r.SetParamInfo( id, "p", FF_TYPE_STANDARD, 0.0f );
	r.RaiseParamEvent( 7, 0x10 );
	r.RaiseParamEvent( 4, 0x1 );
	r.RaiseParamEvent( 4, 0x100000000ull );
	r.RaiseParamEvent( 1, 0x4 );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 3u );

	ParamEventStruct events[ 2 ]{};
	EXPECT_EQ( r.ConsumeParamEvents( events, 0 ), 0u );
	EXPECT_EQ( r.ConsumeParamEvents( nullptr, 5 ), 0u );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 3u );
	ASSERT_EQ( r.ConsumeParamEvents( events, 2 ), 2u );
	EXPECT_EQ( events[ 0 ].ParameterNumber, 4u );
	EXPECT_EQ( events[ 0 ].eventFlags, 0x100000001ull );
	EXPECT_EQ( events[ 1 ].ParameterNumber, 7u );
	ASSERT_EQ( r.ConsumeParamEvents( events, 2 ), 1u );
	EXPECT_EQ( events[ 0 ].ParameterNumber, 1u );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 0u );
}
}// namespace
