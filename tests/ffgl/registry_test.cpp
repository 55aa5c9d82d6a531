// The parameter registry, used directly.
#include <gtest/gtest.h>

#include <ffgl/FFGLPluginManager.h>

namespace
{
class Registry : public CFFGLPluginManager
{
public:
	Registry() : CFFGLPluginManager( false ) {}
};

TEST( Registry, StandardDefaultsAreClampedOthersAreNot )
{
	Registry r;
	r.SetParamInfo( 0, "high", FF_TYPE_STANDARD, 1.5f );
	r.SetParamInfo( 1, "low", FF_TYPE_STANDARD, -0.25f );
	r.SetOptionParamInfo( 2, "option", 3, 7.0f );
	r.SetParamInfo( 3, "integer", FF_TYPE_INTEGER, 20.0f );
	r.SetParamInfo( 4, "edge", FF_TYPE_STANDARD, 1.0f );
	EXPECT_EQ( r.GetParamDefault( 0 ).FloatValue, 1.0f );
	EXPECT_EQ( r.GetParamDefault( 1 ).FloatValue, 0.0f );
	EXPECT_EQ( r.GetParamDefault( 2 ).FloatValue, 7.0f );
	EXPECT_EQ( r.GetParamDefault( 3 ).FloatValue, 20.0f );
	EXPECT_EQ( r.GetParamDefault( 4 ).FloatValue, 1.0f );
	// Changing the range later never re-clamps.
	r.SetParamRange( 3, 0.0f, 1.0f );
	EXPECT_EQ( r.GetParamDefault( 3 ).FloatValue, 20.0f );
}

TEST( Registry, EachRegisteringFormFillsItsOwnFields )
{
	Registry r;
	r.SetParamInfo( 0, "float", FF_TYPE_STANDARD, 0.5f );
	r.SetParamInfo( 1, "bool", FF_TYPE_BOOLEAN, true );
	r.SetParamInfo( 2, "text", FF_TYPE_TEXT, "abc" );
	r.SetBufferParamInfo( 3, "buffer", 5, FF_USAGE_FFT );
	r.SetFileParamInfo( 4, "file", { "png", "exr" }, "x.png" );

	EXPECT_EQ( r.GetNumParamElements( 0 ), 1u );
	EXPECT_STREQ( r.GetParamElementName( 0, 0 ), "" );
	EXPECT_EQ( r.GetNumParamElements( 1 ), 0u );
	EXPECT_EQ( r.GetParamDefault( 1 ).FloatValue, 1.0f );
	EXPECT_STREQ( static_cast< const char* >( r.GetParamDefault( 2 ).PointerValue ), "abc" );
	EXPECT_EQ( r.GetParamType( 3 ), FF_TYPE_BUFFER );
	EXPECT_EQ( r.GetParamUsage( 3 ), FF_USAGE_FFT );
	EXPECT_EQ( r.GetParamUsage( 0 ), FF_USAGE_STANDARD );
	EXPECT_EQ( r.GetNumParamElements( 3 ), 5u );
	EXPECT_EQ( r.GetParamType( 4 ), FF_TYPE_FILE );
	EXPECT_EQ( r.GetNumParamElements( 4 ), 0u );
	EXPECT_STREQ( static_cast< const char* >( r.GetParamDefault( 4 ).PointerValue ), "x.png" );
	EXPECT_EQ( r.GetNumFileParamExtensions( 4 ), 2u );
	EXPECT_STREQ( r.GetFileParamExtension( 4, 1 ), "exr" );
	EXPECT_EQ( r.GetFileParamExtension( 4, 2 ), nullptr );
	EXPECT_EQ( r.GetNumParams(), 5u );
}

TEST( Registry, UnregisteredIdsAnswerTheirFailureValues )
{
	Registry r;
	r.SetParamInfo( 0, "only", FF_TYPE_STANDARD, 0.5f );
	EXPECT_EQ( r.GetParamName( 9 ), nullptr );
	EXPECT_EQ( r.GetParamType( 9 ), FF_FAIL );
	EXPECT_EQ( r.GetParamUsage( 9 ), FF_FAIL );
	EXPECT_EQ( r.GetParamDefault( 9 ).UIntValue, FF_FAIL );
	EXPECT_EQ( r.GetParamVisibility( 9 ), FF_FAIL );
	EXPECT_EQ( r.GetParamRange( 9 ).min, 0.0f );
	EXPECT_EQ( r.GetParamRange( 9 ).max, 1.0f );
	EXPECT_EQ( r.GetParamGroup( 9 ), "" );
	EXPECT_EQ( r.GetParamDisplayName( 9 ), "" );
	EXPECT_EQ( r.GetNumParamElements( 9 ), FF_FAIL );
	EXPECT_EQ( r.GetParamElementName( 9, 0 ), nullptr );
	EXPECT_EQ( r.GetParamElementDefault( 9, 0 ).UIntValue, FF_FAIL );
	EXPECT_EQ( r.GetParamElementDefault( 0, 1 ).UIntValue, FF_FAIL );
	EXPECT_EQ( r.GetNumElementSeparators( 9 ), 0u );
	EXPECT_EQ( r.GetElementSeparatorElementIndex( 9, 0 ), FF_FAIL );
	EXPECT_EQ( r.GetNumFileParamExtensions( 9 ), 0u );
	EXPECT_EQ( r.SetParamElementValue( 9, 0, 1.0f ), FF_FAIL );
	EXPECT_EQ( r.SetParamElementValue( 0, 1, 1.0f ), FF_FAIL );
	EXPECT_EQ( r.SetParamElementValue( 0, 0, 3.0f ), FF_SUCCESS );
	EXPECT_EQ( r.GetParamElementDefault( 0, 0 ).FloatValue, 3.0f );
	// Changing an unregistered ID changes nothing and raises nothing.
	r.SetParamVisibility( 9, false, true );
	r.RaiseParamEvent( 9, 4 );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 0u );
}

TEST( Registry, DuplicateIdsResolveToTheFirstEntry )
{
	Registry r;
	r.SetParamInfo( 3, "first", FF_TYPE_STANDARD, 0.1f );
	r.SetParamInfo( 3, "second", FF_TYPE_STANDARD, 0.2f );
	EXPECT_EQ( r.GetNumParams(), 2u );
	EXPECT_STREQ( r.GetParamName( 3 ), "first" );
	r.SetParamGroup( 3, "g" );
	EXPECT_EQ( r.GetParamGroup( 3 ), "g" );
}

TEST( Registry, ElementChangesFollowTheirRules )
{
	Registry r;
	r.SetParamInfo( 0, "standard", FF_TYPE_STANDARD, 0.5f );
	r.SetOptionParamInfo( 1, "option", 2, 0.0f );
	r.SetParamElementInfo( 1, 0, "a", 5.0f );
	r.SetParamElementInfo( 1, 2, "beyond", 6.0f );
	EXPECT_STREQ( r.GetParamElementName( 1, 0 ), "a" );
	EXPECT_EQ( r.GetNumParamElements( 1 ), 2u );

	r.SetParamElements( 0, { "x" }, { 1.0f }, true );
	r.SetParamElements( 1, { "x", "y", "z" }, { 1.0f, 2.0f }, true );
	EXPECT_EQ( r.GetNumParamElements( 0 ), 1u );
	EXPECT_EQ( r.GetNumParamElements( 1 ), 2u );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 0u );

	r.SetParamElements( 1, { "x", "y", "z" }, { 1.0f, 2.0f, 3.0f }, false );
	EXPECT_EQ( r.GetNumParamElements( 1 ), 3u );
	EXPECT_STREQ( r.GetParamElementName( 1, 2 ), "z" );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 0u );
	// Notifying raises the elements flag even when nothing differs.
	r.SetParamElements( 1, { "x", "y", "z" }, { 1.0f, 2.0f, 3.0f }, true );
	ParamEventStruct event{};
	ASSERT_EQ( r.ConsumeParamEvents( &event, 1 ), 1u );
	EXPECT_EQ( event.ParameterNumber, 1u );
	EXPECT_EQ( event.eventFlags, FF_EVENT_FLAG_ELEMENTS );

	r.AddElementSeparator( 1, 99 );
	EXPECT_EQ( r.GetNumElementSeparators( 1 ), 1u );
	EXPECT_EQ( r.GetElementSeparatorElementIndex( 1, 0 ), 99u );
	EXPECT_EQ( r.GetElementSeparatorElementIndex( 1, 1 ), FF_FAIL );
}

TEST( Registry, VisibilityAndDisplayNameRaiseFlagsOnlyOnChange )
{
	Registry r;
	r.SetParamInfo( 0, "p", FF_TYPE_STANDARD, 0.5f );
	r.SetParamVisibility( 0, true, true );
	r.SetParamDisplayName( 0, "", true );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 0u );

	r.SetParamVisibility( 0, false, true );
	r.SetParamVisibility( 0, false, true );
	r.SetParamDisplayName( 0, "shown", true );
	EXPECT_EQ( r.GetParamVisibility( 0 ), 0u );
	EXPECT_EQ( r.GetParamDisplayName( 0 ), "shown" );
	ParamEventStruct events[ 2 ]{};
	ASSERT_EQ( r.ConsumeParamEvents( events, 2 ), 1u );
	EXPECT_EQ( events[ 0 ].eventFlags, FF_EVENT_FLAG_VISIBILITY | FF_EVENT_FLAG_DISPLAY_NAME );

	// Without notification nothing is raised even on change.
	r.SetParamVisibility( 0, true, false );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 0u );
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
	EXPECT_EQ( r.GetNumPendingParamEvents(), 3u );
	EXPECT_EQ( r.ConsumeParamEvents( nullptr, 5 ), 0u );

	ASSERT_EQ( r.ConsumeParamEvents( events, 2 ), 2u );
	EXPECT_EQ( events[ 0 ].ParameterNumber, 4u );
	EXPECT_EQ( events[ 0 ].eventFlags, 0x100000001ull );
	EXPECT_EQ( events[ 1 ].ParameterNumber, 7u );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 1u );
	ASSERT_EQ( r.ConsumeParamEvents( events, 2 ), 1u );
	EXPECT_EQ( events[ 0 ].ParameterNumber, 1u );
	EXPECT_EQ( r.GetNumPendingParamEvents(), 0u );
}

TEST( Registry, PluginWideSettings )
{
	CFFGLPluginManager plain( false );
	EXPECT_EQ( plain.GetMinInputs(), 0u );
	EXPECT_EQ( plain.GetMaxInputs(), 0u );
	EXPECT_TRUE( plain.IsTimeSupported() );
	EXPECT_FALSE( plain.IsTopLeftTextureOrientationSupported() );
	EXPECT_EQ( plain.GetTextureOrientation(), FF_TEXTURE_ORIENTATION_DEFAULT );
	CFFGLPluginManager topLeft( true );
	topLeft.SetTimeSupported( false );
	topLeft.HostEnabledTopLeftTextures();
	EXPECT_TRUE( topLeft.IsTopLeftTextureOrientationSupported() );
	EXPECT_FALSE( topLeft.IsTimeSupported() );
	EXPECT_EQ( topLeft.GetTextureOrientation(), FF_TEXTURE_ORIENTATION_TOP_LEFT );
}
}// namespace
