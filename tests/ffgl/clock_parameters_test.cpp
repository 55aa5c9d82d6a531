// The clock as a host sees it before it draws anything: identity, parameter
// descriptions and the set/get rules of an instance, all through plugMain.
#include <gtest/gtest.h>

#include <GLContext.h>
#include <Mixed.h>
#include <PluginLibrary.h>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "PluginPaths.h"

using namespace plughost;

namespace
{
struct ParameterRow
{
	const char* name;
	uint32_t type;
	float defaultValue;
};
// The clock's parameter table, written out independently of the plug-in.
const ParameterRow parameters_[ 13 ] = {
	{ "Display Type", FF_TYPE_OPTION, 0.0f },
	{ "Show Seconds", FF_TYPE_BOOLEAN, 1.0f },
	{ "Scale", FF_TYPE_STANDARD, 0.5f },
	{ "Red", FF_TYPE_RED, 0.8f },
	{ "Green", FF_TYPE_GREEN, 0.8f },
	{ "Blue", FF_TYPE_BLUE, 0.8f },
	{ "Manual Mode", FF_TYPE_BOOLEAN, 0.0f },
	{ "Hours", FF_TYPE_STANDARD, 1.0f },
	{ "Minutes", FF_TYPE_STANDARD, 1.0f },
	{ "Seconds", FF_TYPE_STANDARD, 0.0f },
	{ "Timezone Offset", FF_TYPE_INTEGER, 0.0f },
	{ "Solid Background", FF_TYPE_BOOLEAN, 1.0f },
	{ "Red Seconds Hand", FF_TYPE_BOOLEAN, 0.0f },
};

class Clock : public ::testing::Test
{
protected:
	static void SetUpTestSuite() { context = std::make_unique< GLContext >(); }
	static void TearDownTestSuite() { context.reset(); }
	static std::unique_ptr< GLContext > context;

	PluginLibrary lib{ PluginPath( "VavoRozar" ) };
	void* instance = nullptr;

	~Clock() override
	{
		if( instance )
			lib.CallU( FF_DEINSTANTIATE_GL, 0, instance );
		lib.CallU( FF_DEINITIALISE );
	}
	void Instantiate()
	{
		FFGLViewportStruct viewport{ 0, 0, 64, 48 };
		instance = lib.Call( FF_INSTANTIATE_GL, MixedP( &viewport ) ).PointerValue;
		ASSERT_FALSE( IsFailedPointer( instance ) );
	}
	uint32_t Set( uint32_t index, float value )
	{
		SetParameterStruct record{};
		record.ParameterNumber              = index;
		record.NewParameterValue.FloatValue = value;
		return lib.CallP( FF_SET_PARAMETER, &record, instance );
	}
	float Get( uint32_t index ) { return lib.Call( FF_GET_PARAMETER, MixedU( index ), instance ).FloatValue; }
};
std::unique_ptr< GLContext > Clock::context;

TEST_F( Clock, IdentityRecordsHoldTheRegisteredBytes )
{
	const auto* info = static_cast< const unsigned char* >( lib.Call( FF_GET_INFO, MixedU( 0 ) ).PointerValue );
	ASSERT_NE( info, nullptr );
	const unsigned char expected[ 32 ] = { 2, 0, 0, 0, 1, 0, 0, 0, 'K', 'P', '5', '0', 'V', 'a', 'v', 'o',
										   ' ', 'R', 'o', 'z', 'a', 'r', 0, 0, 0, 0, 0, 0, 1, 0, 0, 0 };
	EXPECT_EQ( std::memcmp( info, expected, 32 ), 0 );

	const auto* extended = static_cast< const PluginExtendedInfoStruct* >( lib.Call( FF_GET_EXTENDED_INFO, MixedU( 0 ) ).PointerValue );
	ASSERT_NE( extended, nullptr );
	EXPECT_EQ( extended->PluginMajorVersion, 1u );
	EXPECT_EQ( extended->PluginMinorVersion, 0u );
	EXPECT_STREQ( extended->Description, "Analog and digital clock faces" );
	ASSERT_NE( extended->About, nullptr );
	EXPECT_GT( std::strlen( extended->About ), 0u );
	EXPECT_EQ( extended->FreeFrameExtendedDataSize, 0u );
	EXPECT_EQ( extended->FreeFrameExtendedDataBlock, nullptr );
	EXPECT_EQ( lib.Call( FF_GET_PLUGIN_SHORT_NAME, MixedU( 0 ) ).PointerValue, nullptr );

	EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_SET_TIME ), 1u );
	EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_MINIMUM_INPUT_FRAMES ), 1u );
	EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_MAXIMUM_INPUT_FRAMES ), 1u );
	EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ), 0u );

	GetThumbnailStruct thumbnail{ 7, 7, nullptr };
	EXPECT_EQ( lib.CallP( FF_GET_THUMBNAIL, &thumbnail ), FF_FAIL );
	EXPECT_EQ( thumbnail.width, 0u );
	EXPECT_EQ( thumbnail.height, 0u );
}

TEST_F( Clock, ParameterDescriptionsMatchTheTable )
{
	ASSERT_EQ( lib.CallU( FF_GET_NUM_PARAMETERS ), 13u );
	for( uint32_t i = 0; i < 13; ++i )
	{
		SCOPED_TRACE( parameters_[ i ].name );
		EXPECT_STREQ( static_cast< const char* >( lib.Call( FF_GET_PARAMETER_NAME, MixedU( i ) ).PointerValue ), parameters_[ i ].name );
		EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_TYPE, i ), parameters_[ i ].type );
		EXPECT_EQ( lib.Call( FF_GET_PARAMETER_DEFAULT, MixedU( i ) ).FloatValue, parameters_[ i ].defaultValue );
		EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_USAGE, i ), 0u );
		EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_VISIBILITY, i ), 1u );
		EXPECT_EQ( lib.CallU( FF_GET_NUM_ELEMENT_SEPARATORS, i ), 0u );
		EXPECT_EQ( lib.CallU( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, i ), 0u );
		RangeStruct range{ i, 0, 0 };
		EXPECT_EQ( lib.CallP( FF_GET_RANGE, &range ), FF_SUCCESS );
		EXPECT_EQ( range.min, i == 10 ? -12.0f : 0.0f );
		EXPECT_EQ( range.max, i == 10 ? 14.0f : 1.0f );
		char group[ 4 ] = { 'Z', 'Z', 'Z', 'Z' };
		GetStringStruct query{ i, { group, 4 } };
		EXPECT_EQ( lib.CallP( FF_GET_PARAM_GROUP, &query ), FF_SUCCESS );
		EXPECT_EQ( group[ 0 ], 'Z' );
		// The float registering form keeps one unnamed element.
		if( i > 0 )
		{
			EXPECT_EQ( lib.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, i ), 1u );
		}
	}
	const char* elements[ 4 ] = { "Analog", "Analog (Smooth)", "Digital 12h", "Digital 24h" };
	ASSERT_EQ( lib.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, 0 ), 4u );
	for( uint32_t e = 0; e < 4; ++e )
	{
		GetParameterElementStruct query{ 0, e };
		EXPECT_STREQ( static_cast< const char* >( lib.Call( FF_GET_PARAMETER_ELEMENT_NAME, MixedP( &query ) ).PointerValue ), elements[ e ] );
		EXPECT_EQ( lib.Call( FF_GET_PARAMETER_ELEMENT_VALUE, MixedP( &query ) ).FloatValue, float( e ) );
	}
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_TYPE, 13 ), FF_FAIL );
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_NAME, MixedU( 13 ) ).PointerValue, nullptr );
}

TEST_F( Clock, EveryConstructionIsLogged )
{
	EXPECT_EQ( lib.CallU( FF_GET_NUM_PARAMETERS ), 13u );
	Instantiate();
	EXPECT_EQ( lib.Log(), ( std::vector< std::string >{ "Created VavoRozar effect", "Created VavoRozar effect" } ) );
}

TEST_F( Clock, InstancesStartFromTheRegisteredDefaults )
{
	Instantiate();
	EXPECT_EQ( Get( 0 ), 0.0f );// "Analog", although a fresh object is smooth
	EXPECT_EQ( Get( 8 ), 59.0f / 60.0f );// the default 1.0 snapped, since Analog came first
	EXPECT_EQ( Get( 7 ), 1.0f );
	EXPECT_EQ( Get( 6 ), 0.0f );
	EXPECT_EQ( Get( 3 ), 0.8f );
	EXPECT_EQ( Get( 1 ), 1.0f );
	EXPECT_EQ( Get( 11 ), 1.0f );
	EXPECT_STREQ( static_cast< const char* >( lib.Call( FF_GET_PARAMETER_DISPLAY, MixedU( 2 ), instance ).PointerValue ), "0.500000" );
	EXPECT_EQ( lib.CallU( FF_GET_INPUT_STATUS, 0, instance ), 1u );
	EXPECT_EQ( lib.CallU( FF_GET_INPUT_STATUS, 1, instance ), FF_FAIL );
	EXPECT_EQ( lib.CallU( FF_ENABLE_PLUGIN_CAP, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, instance ), FF_FAIL );
}

// Each row is sent in order to one instance; the stored value is read back.
struct SetCase
{
	uint32_t index;
	float sent;
	float stored;
};
const SetCase setCases_[] = {
	// Display type: round half up; other values change nothing.
	{ 0, 1.4f, 1 }, { 0, 3.6f, 1 }, { 0, -2.0f, 1 }, { 0, -0.6f, 0 }, { 0, 2.5f, 3 }, { 0, 3.49f, 3 }, { 0, 1.5f, 2 },
	{ 0, -1.5f, 2 }, { 0, 0.5f, 1 }, { 0, 1e20f, 1 }, { 0, -1e20f, 1 }, { 0, 0.49f, 0 },
	// Switches are on strictly above 0.5.
	{ 1, 0.5f, 0 }, { 1, 0.51f, 1 }, { 6, 1.0f, 1 }, { 12, 0.9f, 1 }, { 11, 0.2f, 0 },
	// Hours clamp; scale, colours and the offset are stored as sent.
	{ 7, 1.7f, 1 }, { 7, -0.2f, 0 }, { 2, 3.5f, 3.5f }, { 4, -1.0f, -1.0f }, { 10, 20.0f, 20.0f }, { 10, -3.5f, -3.5f },
	// "Analog" ticks: whole minutes and seconds, never 60/60.
	{ 8, 0.999f, 59.0f / 60 }, { 8, 1.0f, 59.0f / 60 }, { 8, 0.51f, 31.0f / 60 }, { 8, 0.505f, 30.0f / 60 }, { 8, -4.0f, 0 },
	{ 9, 0.51f, 31.0f / 60 }, { 9, 1.0f, 59.0f / 60 },
	// "Analog (Smooth)": stored as sent, clamped only.
	{ 0, 1.0f, 1 }, { 8, 0.999f, 0.999f }, { 8, 0.505f, 0.505f }, { 9, 0.51f, 0.51f },
};

TEST_F( Clock, SetValuesFollowTheRoundingThresholdClampAndSnapRules )
{
	Instantiate();
	for( const SetCase& c : setCases_ )
	{
		EXPECT_EQ( Set( c.index, c.sent ), FF_SUCCESS ) << c.index << " " << c.sent;
		EXPECT_EQ( Get( c.index ), c.stored ) << c.index << " " << c.sent;
	}
	EXPECT_EQ( Set( 13, 1.0f ), FF_FAIL );
	EXPECT_EQ( Get( 13 ), 0.0f );
}

TEST_F( Clock, NonFiniteValuesAreRefusedEverywhere )
{
	Instantiate();
	const float bad[] = { std::numeric_limits< float >::quiet_NaN(), std::numeric_limits< float >::infinity(),
						  -std::numeric_limits< float >::infinity() };
	for( uint32_t i = 0; i < 13; ++i )
	{
		float before = Get( i );
		for( float value : bad )
		{
			EXPECT_EQ( Set( i, value ), FF_FAIL ) << "parameter " << i;
			EXPECT_EQ( Get( i ), before ) << "parameter " << i;
		}
	}
}
}// namespace
