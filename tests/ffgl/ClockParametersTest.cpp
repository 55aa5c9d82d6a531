// The clock as a host sees it before it draws anything: identity, parameter
// descriptions and the set/get rules of an instance, all through plugMain.
#include <gtest/gtest.h>

#include <GLContext.h>
#include <EntryPointValues.h>
#include <PluginLibrary.h>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>

#include "PluginPaths.h"

using namespace plughost;

namespace
{
const float inf_ = std::numeric_limits< float >::infinity(), nan_ = std::numeric_limits< float >::quiet_NaN();

class Clock : public ::testing::Test
{
protected:
	PluginLibrary lib{ PluginPath( "VavoRozar" ) };
	void* instance = nullptr;

	~Clock() override
	{
		if( instance )
			lib.CallU( FF_DEINSTANTIATE_GL, 0, instance );
	}
	void Instantiate()
	{
		static GLContext context;
		FFGLViewportStruct viewport{ 0, 0, 64, 48 };
		instance = lib.Call( FF_INSTANTIATE_GL, MixedP( &viewport ) ).PointerValue;
		ASSERT_FALSE( IsFailedPointer( instance ) );
	}
	uint32_t Set( uint32_t index, float value )
	{
		SetParameterStruct record{};
		record.ParameterNumber = index;
		record.NewParameterValue.FloatValue = value;
		return lib.CallP( FF_SET_PARAMETER, &record, instance );
	}
	float Get( uint32_t index ) { return lib.Call( FF_GET_PARAMETER, MixedU( index ), instance ).FloatValue; }
};

TEST_F( Clock, IdentityCapabilitiesAndNoThumbnail )
{
	const unsigned char expected[ 32 ] = { 2, 0, 0, 0, 1, 0, 0, 0, 'K', 'P', '5', '0', 'V', 'a', 'v', 'o',
										   ' ', 'R', 'o', 'z', 'a', 'r', 0, 0, 0, 0, 0, 0, 1, 0, 0, 0 };
	EXPECT_EQ( std::memcmp( lib.Call( FF_GET_INFO, MixedU( 0 ) ).PointerValue, expected, 32 ), 0 );
	const auto* extended = static_cast< const PluginExtendedInfoStruct* >( lib.Call( FF_GET_EXTENDED_INFO, MixedU( 0 ) ).PointerValue );
	GetThumbnailStruct thumbnail{ 7, 7, nullptr };
	EXPECT_EQ( ( std::tuple{ extended->PluginMajorVersion, std::string( extended->Description ), extended->FreeFrameExtendedDataSize,
							 lib.Call( FF_GET_PLUGIN_SHORT_NAME, MixedU( 0 ) ).PointerValue, lib.CallP( FF_GET_THUMBNAIL, &thumbnail ), thumbnail.width,
							 thumbnail.height } ),
			   std::tuple( 1u, "Analog and digital clock faces", 0u, nullptr, FF_FAIL, 0u, 0u ) );
	for( auto [ capability, answer ] : { std::pair{ FF_CAP_SET_TIME, 1u }, { FF_CAP_MINIMUM_INPUT_FRAMES, 1u }, { FF_CAP_MAXIMUM_INPUT_FRAMES, 1u },
										 { FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, 0u } } )
		EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, capability ), answer ) << capability;
}

// The clock's parameter table, written out independently of the plug-in.
TEST_F( Clock, ParameterDescriptionsMatchTheTable )
{
	const std::tuple< const char*, uint32_t, float > table[ 13 ] = {
		{ "Display Type", FF_TYPE_OPTION, 0 }, { "Show Seconds", FF_TYPE_BOOLEAN, 1 }, { "Scale", FF_TYPE_STANDARD, 0.5f },
		{ "Red", FF_TYPE_RED, 0.8f },          { "Green", FF_TYPE_GREEN, 0.8f },       { "Blue", FF_TYPE_BLUE, 0.8f },
		{ "Manual Mode", FF_TYPE_BOOLEAN, 0 }, { "Hours", FF_TYPE_STANDARD, 1 },       { "Minutes", FF_TYPE_STANDARD, 1 },
		{ "Seconds", FF_TYPE_STANDARD, 0 },    { "Timezone Offset", FF_TYPE_INTEGER, 0 }, { "Solid Background", FF_TYPE_BOOLEAN, 1 },
		{ "Red Seconds Hand", FF_TYPE_BOOLEAN, 0 } };
	ASSERT_EQ( lib.CallU( FF_GET_NUM_PARAMETERS ), 13u );
	for( uint32_t i = 0; i < 13; ++i )
	{
		RangeStruct range{ i, 0, 0 };
		char group[ 4 ] = { 'Z' };
		GetStringStruct query{ i, { group, 4 } };
		EXPECT_EQ( ( std::tuple{ std::string( static_cast< const char* >( lib.Call( FF_GET_PARAMETER_NAME, MixedU( i ) ).PointerValue ) ),
							   lib.CallU( FF_GET_PARAMETER_TYPE, i ), lib.Call( FF_GET_PARAMETER_DEFAULT, MixedU( i ) ).FloatValue } ),
				   table[ i ] );
		EXPECT_EQ( ( std::tuple{ lib.CallU( FF_GET_PARAMETER_USAGE, i ), lib.CallU( FF_GET_PARAMETER_VISIBILITY, i ),
							   lib.CallU( FF_GET_NUM_ELEMENT_SEPARATORS, i ), lib.CallU( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, i ),
							   lib.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, i ), lib.CallP( FF_GET_RANGE, &range ), range.min, range.max,
							   lib.CallP( FF_GET_PARAM_GROUP, &query ), group[ 0 ] } ),
				   std::tuple( 0u, 1u, 0u, 0u, i == 0 ? 4u : 1u, FF_SUCCESS, i == 10 ? -12.0f : 0.0f, i == 10 ? 14.0f : 1.0f, FF_SUCCESS, 'Z' ) )
			<< i;
	}
	const char* elements[ 4 ] = { "Analog", "Analog (Smooth)", "Digital 12h", "Digital 24h" };
	for( GetParameterElementStruct query{ 0, 0 }; query.ElementNumber < 4; ++query.ElementNumber )
		EXPECT_EQ( ( std::tuple{ std::string( static_cast< const char* >( lib.Call( FF_GET_PARAMETER_ELEMENT_NAME, MixedP( &query ) ).PointerValue ) ),
								 lib.Call( FF_GET_PARAMETER_ELEMENT_VALUE, MixedP( &query ) ).FloatValue } ),
				   std::tuple( elements[ query.ElementNumber ], float( query.ElementNumber ) ) );
	EXPECT_EQ( ( std::tuple{ lib.CallU( FF_GET_PARAMETER_TYPE, 13 ), lib.Call( FF_GET_PARAMETER_NAME, MixedU( 13 ) ).PointerValue } ),
			   std::tuple( FF_FAIL, nullptr ) );
}

// The prototype and the instance each log their construction.
TEST_F( Clock, InstancesStartFromTheRegisteredDefaults )
{
	Instantiate();
	EXPECT_EQ( lib.Log(), ( std::vector< std::string >{ "Created VavoRozar effect", "Created VavoRozar effect" } ) );
	// "Analog", although a fresh object is smooth; so the default minutes 1.0 are snapped.
	const float expected[ 13 ] = { 0, 1, 0.5f, 0.8f, 0.8f, 0.8f, 0, 1, 59.0f / 60, 0, 0, 1, 0 };
	for( uint32_t i = 0; i < 13; ++i )
		EXPECT_EQ( Get( i ), expected[ i ] ) << i;
	EXPECT_STREQ( static_cast< const char* >( lib.Call( FF_GET_PARAMETER_DISPLAY, MixedU( 2 ), instance ).PointerValue ), "0.500000" );
	EXPECT_EQ( ( std::tuple{ lib.CallU( FF_GET_INPUT_STATUS, 0, instance ), lib.CallU( FF_GET_INPUT_STATUS, 1, instance ),
						   lib.CallU( FF_ENABLE_PLUGIN_CAP, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, instance ) } ),
			   std::tuple( 1u, FF_FAIL, FF_FAIL ) );
}

// Each row is sent in order to one instance; the stored value is read back.
// NaN is refused everywhere; an infinity only where it would be stored and
// reach the programs (scale, colours, offset), elsewhere it clamps, compares
// or is ignored like any large value.
TEST_F( Clock, SetValuesFollowTheRoundingThresholdClampAndSnapRules )
{
	const struct { uint32_t index; float sent, stored; uint32_t result = FF_SUCCESS; } cases[] = {
		// Display type: round half up; other values change nothing.
		{ 0, 1.4f, 1 }, { 0, 3.6f, 1 }, { 0, -2.0f, 1 }, { 0, -0.6f, 0 }, { 0, 2.5f, 3 }, { 0, 3.49f, 3 }, { 0, 1.5f, 2 }, { 0, -1.5f, 2 }, { 0, 0.5f, 1 },
		{ 0, 1e30f, 1 }, { 0, -1e30f, 1 }, { 0, inf_, 1 }, { 0, -inf_, 1 }, { 0, nan_, 1, FF_FAIL }, { 0, 0.49f, 0 },
		// Switches are on strictly above 0.5.
		{ 1, 0.5f, 0 }, { 1, 0.51f, 1 }, { 1, -inf_, 0 }, { 1, inf_, 1 }, { 1, nan_, 1, FF_FAIL }, { 6, 1.0f, 1 }, { 6, -inf_, 0 }, { 12, 0.9f, 1 },
		{ 12, -inf_, 0 }, { 11, 0.2f, 0 }, { 11, inf_, 1 },
		// Hours clamp; scale, colours and the offset are stored as sent but never infinite.
		{ 7, 1.7f, 1 }, { 7, -0.2f, 0 }, { 7, -inf_, 0 }, { 7, inf_, 1 }, { 7, nan_, 1, FF_FAIL }, { 2, 3.5f, 3.5f }, { 2, inf_, 3.5f, FF_FAIL },
		{ 2, 1e30f, 1e30f }, { 4, -1.0f, -1.0f }, { 4, -inf_, -1.0f, FF_FAIL }, { 3, inf_, 0.8f, FF_FAIL }, { 5, nan_, 0.8f, FF_FAIL },
		{ 10, 20.0f, 20.0f }, { 10, -3.5f, -3.5f }, { 10, -inf_, -3.5f, FF_FAIL }, { 10, -1e30f, -1e30f },
		// "Analog" ticks: whole minutes and seconds, never 60/60.
		{ 8, 0.999f, 59.0f / 60 }, { 8, 1.0f, 59.0f / 60 }, { 8, 0.51f, 31.0f / 60 }, { 8, 0.505f, 30.0f / 60 }, { 8, -4.0f, 0 }, { 8, inf_, 59.0f / 60 },
		{ 9, 0.51f, 31.0f / 60 }, { 9, 1.0f, 59.0f / 60 }, { 9, -inf_, 0 }, { 9, nan_, 0, FF_FAIL },
		// "Analog (Smooth)": stored as sent, clamped only.
		{ 0, 1.0f, 1 }, { 8, 0.999f, 0.999f }, { 8, 0.505f, 0.505f }, { 8, inf_, 1 }, { 9, 0.51f, 0.51f },
	};
	Instantiate();
	for( const auto& c : cases )
		EXPECT_EQ( ( std::tuple{ Set( c.index, c.sent ), Get( c.index ) } ), std::tuple( c.result, c.stored ) ) << c.index << " " << c.sent;
	EXPECT_EQ( ( std::tuple{ Set( 13, 1.0f ), Get( 13 ) } ), std::tuple( FF_FAIL, 0.0f ) );
}
}// namespace
