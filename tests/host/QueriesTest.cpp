#include "HostTestSupport.h"

#include <Mixed.h>
#include <PluginLibrary.h>

#include <gtest/gtest.h>

using namespace plughost;

namespace
{
class MockQueries : public ::testing::Test
{
protected:
	PluginLibrary library{ hosttest::Fixture( "MockPlugin" ) };
};

TEST_F( MockQueries, IdentityFieldsWithoutTerminatorsAreBounded )
{
	const PluginIdentity& identity = library.Identity();
	EXPECT_EQ( identity.id, "MOCK" );
	EXPECT_EQ( identity.name, "Mock Effect Test" );
	EXPECT_EQ( identity.type, FF_EFFECT );
	EXPECT_EQ( identity.apiMajorVersion, 2u );
	EXPECT_EQ( identity.apiMinorVersion, 1u );
}

TEST_F( MockQueries, ExtendedIdentityAndShortName )
{
	const auto extended = library.Extended();
	ASSERT_TRUE( extended );
	EXPECT_EQ( extended->majorVersion, 1u );
	EXPECT_EQ( extended->minorVersion, 2u );
	EXPECT_EQ( extended->description, "A mock effect" );
	EXPECT_EQ( extended->about, "Host library tests" );
	EXPECT_EQ( library.ShortName().value_or( "?" ), "Mock" );
}

TEST_F( MockQueries, Capabilities )
{
	const Capabilities caps = library.Caps();
	EXPECT_TRUE( caps.timeSupported );
	EXPECT_EQ( caps.minimumInputs, 1u );
	EXPECT_EQ( caps.maximumInputs, 2u );
	EXPECT_FALSE( caps.topLeftOrientation );
}

TEST_F( MockQueries, LogMessagesAreCaptured )
{
	EXPECT_TRUE( library.CapturingLog() );
	EXPECT_TRUE( library.Log().empty() );
	{
		// A second opener of the same file shares the one loaded image and log.
		PluginLibrary second( hosttest::Fixture( "MockPlugin" ) );
		ASSERT_EQ( second.Initialise(), FF_SUCCESS );
		EXPECT_EQ( library.Log(), std::vector< std::string >{ "mock initialised" } );
	}
	// The second object's unloading must leave the first one's capture intact.
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_TRUE( library.Initialised() );
	EXPECT_EQ( library.Log(), ( std::vector< std::string >{ "mock initialised", "mock initialised" } ) );
	library.ClearLog();
	EXPECT_TRUE( library.Log().empty() );
}

struct Expected
{
	uint32_t index;
	const char* name;
	uint32_t type;
	float defaultValue;
	const char* defaultText;
	float minimum, maximum;
	bool visible;
	const char* group;
	std::vector< std::string > elements;
};

TEST_F( MockQueries, DescribeAllMatchesTheRegisteredTable )
{
	const std::vector< Expected > table = {
		{ 0, "Level", FF_TYPE_STANDARD, 0.25f, "", 0.0f, 1.0f, true, "", { "" } },
		{ 1, "Mode", FF_TYPE_OPTION, 0.0f, "", 0.0f, 2.0f, true, "", { "Copy", "Invert", "Black" } },
		{ 2, "Caption", FF_TYPE_TEXT, 0.0f, "hello", 0.0f, 1.0f, true, "", { "" } },
		{ 3, "Gain", FF_TYPE_INTEGER, 2.0f, "", -5.0f, 5.0f, false, "Amplifier", { "" } },
	};
	const auto described = library.DescribeAll();
	ASSERT_EQ( described.size(), table.size() );
	for( std::size_t i = 0; i < table.size(); ++i )
	{
		SCOPED_TRACE( table[ i ].name );
		const ParameterDescription& d = described[ i ];
		EXPECT_EQ( d.index, table[ i ].index );
		EXPECT_EQ( d.name, table[ i ].name );
		EXPECT_EQ( d.type, table[ i ].type );
		EXPECT_FLOAT_EQ( d.defaultValue, table[ i ].defaultValue );
		EXPECT_EQ( d.defaultText, table[ i ].defaultText );
		EXPECT_FLOAT_EQ( d.minimum, table[ i ].minimum );
		EXPECT_FLOAT_EQ( d.maximum, table[ i ].maximum );
		EXPECT_EQ( d.visible, table[ i ].visible );
		EXPECT_EQ( d.group, table[ i ].group );
		ASSERT_EQ( d.elements.size(), table[ i ].elements.size() );
		for( std::size_t e = 0; e < d.elements.size(); ++e )
			EXPECT_EQ( d.elements[ e ].name, table[ i ].elements[ e ] );
	}
	EXPECT_FLOAT_EQ( described[ 1 ].elements[ 2 ].value.value_or( -1.0f ), 2.0f );
	EXPECT_FALSE( described[ 0 ].elements[ 0 ].value ) << "a failed element value must not read as a number";
}

TEST_F( MockQueries, FailedAnswersBecomeEmpty )
{
	EXPECT_FALSE( library.ParameterName( 99 ) );
	EXPECT_FALSE( library.ParameterType( 99 ) );
	EXPECT_FALSE( library.ParameterDefault( 99 ) );
	EXPECT_FALSE( library.ElementCount( 99 ) );
	EXPECT_FALSE( library.ElementName( 1, 3 ) );
	EXPECT_FALSE( library.ElementValue( 1, 3 ) );
	EXPECT_FALSE( library.Visible( 99 ) );
	EXPECT_THROW( library.Describe( 99 ), Error );
	// The range of an unknown parameter keeps the neutral interval.
	const auto range = library.Range( 99 );
	ASSERT_TRUE( range );
	EXPECT_EQ( *range, std::make_pair( 0.0f, 1.0f ) );
}

TEST_F( MockQueries, TextDefaultIsReadThroughThePointer )
{
	const auto answer = library.ParameterDefault( 2 );
	ASSERT_TRUE( answer );
	EXPECT_EQ( CopyText( static_cast< const char* >( answer->PointerValue ) ), "hello" );
}

TEST_F( MockQueries, GroupTextIsTerminatedByTheHost )
{
	EXPECT_EQ( library.Group( 3 ).value_or( "?" ), "Amplifier" );
	// A capacity shorter than the text cuts it without reading past the buffer.
	EXPECT_EQ( QueryText( library, FF_GET_PARAM_GROUP, 3, nullptr, 3 ).value_or( "?" ), "Amp" );
	EXPECT_FALSE( QueryText( library, FF_GET_PARAM_GROUP, 3, nullptr, 0 ) );
}

TEST_F( MockQueries, RawCallReachesThePlugin )
{
	EXPECT_EQ( library.CallU( 1 ), FF_FAIL );
	EXPECT_EQ( library.CallU( FF_GET_NUM_PARAMETERS ), 4u );
	EXPECT_EQ( library.Call( FF_GET_PARAMETER_DISPLAY, MixedU( 0 ) ).PointerValue, FFWidenedFail() );
}

TEST( MixedHelpers, FailedPointers )
{
	EXPECT_TRUE( IsFailedPointer( nullptr ) );
	EXPECT_TRUE( IsFailedPointer( FFWidenedFail() ) );
	int value = 0;
	EXPECT_FALSE( IsFailedPointer( &value ) );
	EXPECT_EQ( MixedU( 7 ).PointerValue, reinterpret_cast< void* >( 7 ) ) << "upper bytes must be zero";
	const char field[ 4 ] = { 'A', 'B', 'C', 'D' };
	EXPECT_EQ( CopyField( field, 4 ), "ABCD" );
	EXPECT_EQ( CopyText( nullptr ), "" );
}

TEST( Descriptions, TypeNames )
{
	const std::vector< std::pair< uint32_t, std::string > > names = {
		{ FF_TYPE_BOOLEAN, "boolean" }, { FF_TYPE_STANDARD, "standard" }, { FF_TYPE_OPTION, "option" },
		{ FF_TYPE_INTEGER, "integer" }, { FF_TYPE_TEXT, "text" },         { FF_TYPE_FILE, "file" },
		{ FF_TYPE_RED, "red" },         { 77, "unknown (77)" },
	};
	for( const auto& [ type, name ] : names )
		EXPECT_EQ( ParameterTypeName( type ), name );
	EXPECT_EQ( PluginTypeName( FF_SOURCE ), "source" );
	EXPECT_EQ( PluginTypeName( FF_MIXER ), "mixer" );
	EXPECT_TRUE( IsTextType( FF_TYPE_FILE ) );
	EXPECT_FALSE( IsTextType( FF_TYPE_OPTION ) );
}
}// namespace
