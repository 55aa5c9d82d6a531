// The entry point, driven through plugMain of a dlopen'ed test plug-in that
// uses text and file parameters, a thumbnail, hooks and parameter events.
#include <gtest/gtest.h>

#include <Mixed.h>
#include <PluginLibrary.h>
#include <cstring>
#include <string>
#include <vector>

#include "PluginPaths.h"

using namespace plughost;

namespace
{
bool Contains( const std::vector< std::string >& log, const std::string& message )
{
	for( const std::string& line : log )
		if( line == message )
			return true;
	return false;
}

size_t Count( const std::vector< std::string >& log, const std::string& message )
{
	size_t n = 0;
	for( const std::string& line : log )
		n += line == message;
	return n;
}

class ProbeEntry : public ::testing::Test
{
protected:
	PluginLibrary lib{ PluginPath( "Probe" ) };

	~ProbeEntry() override { lib.Call( FF_DEINITIALISE, MixedU( 0 ) ); }

	void* Instantiate()
	{
		FFGLViewportStruct viewport{ 0, 0, 64, 32 };
		void* handle = lib.Call( FF_INSTANTIATE_GL, MixedP( &viewport ) ).PointerValue;
		EXPECT_FALSE( IsFailedPointer( handle ) );
		return handle;
	}
	uint32_t Destroy( void* instance ) { return lib.CallU( FF_DEINSTANTIATE_GL, 0, instance ); }
	std::string Text( FFMixed answer ) { return static_cast< const char* >( answer.PointerValue ); }
};

TEST_F( ProbeEntry, IdentityRecordsHoldTheRegisteredBytes )
{
	const auto* info = static_cast< const unsigned char* >( lib.Call( FF_GET_INFO, MixedU( 0 ) ).PointerValue );
	ASSERT_NE( info, nullptr );
	uint32_t words[ 2 ];
	std::memcpy( words, info, 8 );
	EXPECT_EQ( words[ 0 ], 2u );
	EXPECT_EQ( words[ 1 ], 1u );
	EXPECT_EQ( std::memcmp( info + 8, "PRB1", 4 ), 0 );
	// An 18-character name keeps its first 16, without terminator.
	EXPECT_EQ( std::memcmp( info + 12, "Probe plug-in na", 16 ), 0 );
	uint32_t type;
	std::memcpy( &type, info + 28, 4 );
	EXPECT_EQ( type, FF_EFFECT );

	const auto* extended = static_cast< const PluginExtendedInfoStruct* >( lib.Call( FF_GET_EXTENDED_INFO, MixedU( 0 ) ).PointerValue );
	ASSERT_NE( extended, nullptr );
	EXPECT_EQ( extended->PluginMajorVersion, 3u );
	EXPECT_EQ( extended->PluginMinorVersion, 7u );
	EXPECT_STREQ( extended->Description, "A plug-in for testing the entry point" );
	EXPECT_STREQ( extended->About, "Test team" );
	ASSERT_EQ( extended->FreeFrameExtendedDataSize, 3u );
	EXPECT_EQ( std::memcmp( extended->FreeFrameExtendedDataBlock, "xyz", 3 ), 0 );
	EXPECT_EQ( Text( lib.Call( FF_GET_PLUGIN_SHORT_NAME, MixedU( 0 ) ) ), "Probe" );
}

TEST_F( ProbeEntry, UnknownCodesAndMissingInstancesFail )
{
	for( uint32_t code : { 1u, 3u, 11u, 12u, 14u, 24u, 25u, 26u, 27u, 28u, 29u, 30u, 52u, 200u, 0xFFFFFFFFu } )
		EXPECT_EQ( lib.CallU( code, 0 ), FF_FAIL ) << "code " << code;
	for( uint32_t code : { 8u, 9u, 16u, 19u, 20u, 21u, 22u, 23u, 37u, 38u, 39u, 40u, 46u, 49u, 51u } )
		EXPECT_EQ( lib.CallU( code, 0 ), FF_FAIL ) << "code " << code;
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_DISPLAY, MixedU( 0 ) ).PointerValue, FFWidenedFail() );
	EXPECT_EQ( lib.CallU( FF_PROCESS_OPENGL, 0 ), FF_FAIL );
	EXPECT_EQ( lib.Call( FF_INSTANTIATE_GL, MixedP( nullptr ) ).PointerValue, FFWidenedFail() );
}

TEST_F( ProbeEntry, HooksRunAroundThePrototype )
{
	EXPECT_EQ( lib.CallU( FF_INITIALISE_V2 ), FF_SUCCESS );
	EXPECT_TRUE( Contains( lib.Log(), "initialise hook" ) );
	EXPECT_EQ( lib.CallU( FF_DEINITIALISE ), FF_SUCCESS );
	std::vector< std::string > log = lib.Log();
	ASSERT_GE( log.size(), 2u );
	EXPECT_EQ( log[ log.size() - 2 ], "destroyed" );
	EXPECT_EQ( log.back(), "de-initialise hook" );
	// A later query makes a fresh prototype on demand.
	EXPECT_EQ( lib.CallU( FF_GET_NUM_PARAMETERS ), 7u );
}

TEST_F( ProbeEntry, ParameterQueriesAnswerFromThePrototype )
{
	EXPECT_EQ( lib.CallU( FF_GET_NUM_PARAMETERS ), 7u );
	EXPECT_EQ( Text( lib.Call( FF_GET_PARAMETER_NAME, MixedU( 2 ) ) ), "Mode" );
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_NAME, MixedU( 7 ) ).PointerValue, nullptr );
	EXPECT_EQ( Text( lib.Call( FF_GET_PARAMETER_DEFAULT, MixedU( 0 ) ) ), "hello" );
	EXPECT_EQ( Text( lib.Call( FF_GET_PARAMETER_DEFAULT, MixedU( 1 ) ) ), "a.png" );
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_DEFAULT, MixedU( 3 ) ).FloatValue, 0.25f );
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_DEFAULT, MixedU( 5 ) ).FloatValue, 1.0f );
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_DEFAULT, 7 ), FF_FAIL );
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_TYPE, 1 ), FF_TYPE_FILE );
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_TYPE, 7 ), FF_FAIL );
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_USAGE, 4 ), FF_USAGE_FFT );
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_USAGE, 7 ), FF_FAIL );
	EXPECT_EQ( lib.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, 2 ), 3u );
	EXPECT_EQ( lib.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, 7 ), FF_FAIL );

	GetParameterElementStruct element{ 2, 1 };
	EXPECT_EQ( Text( lib.Call( FF_GET_PARAMETER_ELEMENT_NAME, MixedP( &element ) ) ), "Second" );
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_ELEMENT_VALUE, MixedP( &element ) ).FloatValue, 20.0f );
	element.ElementNumber = 3;
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_ELEMENT_NAME, MixedP( &element ) ).PointerValue, nullptr );
	EXPECT_EQ( lib.CallP( FF_GET_PARAMETER_ELEMENT_VALUE, &element ), FF_FAIL );
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_ELEMENT_NAME, MixedP( nullptr ) ).PointerValue, nullptr );
	EXPECT_EQ( lib.CallP( FF_GET_PARAMETER_ELEMENT_VALUE, nullptr ), FF_FAIL );

	EXPECT_EQ( lib.CallU( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, 1 ), 2u );
	EXPECT_EQ( lib.CallU( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, 7 ), 0u );
	GetParameterElementStruct extension{ 1, 1 };
	EXPECT_EQ( Text( lib.Call( FF_GET_FILE_PARAMETER_EXTENSION, MixedP( &extension ) ) ), "jpg" );
	extension.ElementNumber = 2;
	EXPECT_EQ( lib.Call( FF_GET_FILE_PARAMETER_EXTENSION, MixedP( &extension ) ).PointerValue, nullptr );
	EXPECT_EQ( lib.Call( FF_GET_FILE_PARAMETER_EXTENSION, MixedP( nullptr ) ).PointerValue, nullptr );

	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_VISIBILITY, 5 ), 0u );
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_VISIBILITY, 3 ), 1u );
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_VISIBILITY, 7 ), FF_FAIL );

	EXPECT_EQ( lib.CallU( FF_GET_NUM_ELEMENT_SEPARATORS, 2 ), 2u );
	EXPECT_EQ( lib.CallU( FF_GET_NUM_ELEMENT_SEPARATORS, 7 ), 0u );
	GetParameterElementStruct separator{ 2, 1 };
	EXPECT_EQ( lib.CallP( FF_GET_SEPARATOR_ELEMENT_INDEX, &separator ), 7u );
	separator.ElementNumber = 2;
	EXPECT_EQ( lib.CallP( FF_GET_SEPARATOR_ELEMENT_INDEX, &separator ), FF_FAIL );
	EXPECT_EQ( lib.CallP( FF_GET_SEPARATOR_ELEMENT_INDEX, nullptr ), FF_FAIL );
}

TEST_F( ProbeEntry, RangesAndCapabilities )
{
	RangeStruct range{ 9, -5.0f, -5.0f };
	EXPECT_EQ( lib.CallP( FF_GET_RANGE, &range ), FF_SUCCESS );
	EXPECT_EQ( range.min, 0.0f );
	EXPECT_EQ( range.max, 1.0f );
	EXPECT_EQ( lib.CallP( FF_GET_RANGE, nullptr ), FF_FAIL );

	EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_SET_TIME ), 0u );
	EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_MINIMUM_INPUT_FRAMES ), 1u );
	EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_MAXIMUM_INPUT_FRAMES ), 2u );
	EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ), 1u );
	EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, 3 ), 0u );
}

TEST_F( ProbeEntry, GroupTextIsCopiedUpToCapacityWithoutTerminator )
{
	char buffer[ 8 ];
	std::memset( buffer, 'Z', sizeof buffer );
	GetStringStruct query{ 2, { buffer, 3 } };
	EXPECT_EQ( lib.CallP( FF_GET_PARAM_GROUP, &query ), FF_SUCCESS );
	EXPECT_EQ( std::string( buffer, 8 ), "GroZZZZZ" );

	std::memset( buffer, 0, sizeof buffer );
	query.stringBuffer.maxToWrite = 8;
	EXPECT_EQ( lib.CallP( FF_GET_PARAM_GROUP, &query ), FF_SUCCESS );
	EXPECT_STREQ( buffer, "Groupy" );

	std::memset( buffer, 'Z', sizeof buffer );
	query.parameterNumber = 3;// no group: nothing copied
	EXPECT_EQ( lib.CallP( FF_GET_PARAM_GROUP, &query ), FF_SUCCESS );
	EXPECT_EQ( buffer[ 0 ], 'Z' );
	query.stringBuffer.maxToWrite = 0;
	EXPECT_EQ( lib.CallP( FF_GET_PARAM_GROUP, &query ), FF_FAIL );
	EXPECT_EQ( lib.CallP( FF_GET_PARAM_GROUP, nullptr ), FF_FAIL );
	GetStringStruct nowhere{ 2, { nullptr, 8 } };
	EXPECT_EQ( lib.CallP( FF_GET_PARAM_GROUP, &nowhere ), FF_FAIL );
}

TEST_F( ProbeEntry, ThumbnailIsCopiedAsMachineOrderWords )
{
	EXPECT_EQ( lib.CallP( FF_GET_THUMBNAIL, nullptr ), FF_FAIL );
	GetThumbnailStruct query{ 0, 0, nullptr };
	EXPECT_EQ( lib.CallP( FF_GET_THUMBNAIL, &query ), FF_SUCCESS );
	EXPECT_EQ( query.width, 2u );
	EXPECT_EQ( query.height, 2u );
	uint32_t pixels[ 4 ] = {};
	query.rgbaPixelBuffer = pixels;
	EXPECT_EQ( lib.CallP( FF_GET_THUMBNAIL, &query ), FF_SUCCESS );
	EXPECT_EQ( pixels[ 0 ], 0x01020304u );
	EXPECT_EQ( pixels[ 1 ], 0xAABBCCDDu );
	EXPECT_EQ( pixels[ 2 ], 0x05060708u );
	EXPECT_EQ( pixels[ 3 ], 0u );
}

TEST_F( ProbeEntry, InstancesStartWithTheRegisteredDefaults )
{
	void* instance = Instantiate();
	EXPECT_EQ( Text( lib.Call( FF_GET_PARAMETER, MixedU( 0 ), instance ) ), "hello" );
	EXPECT_EQ( Text( lib.Call( FF_GET_PARAMETER, MixedU( 1 ), instance ) ), "a.png" );
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER, MixedU( 3 ), instance ).FloatValue, 0.25f );
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER, MixedU( 2 ), instance ).FloatValue, 1.0f );
	EXPECT_EQ( Text( lib.Call( FF_GET_PARAMETER_DISPLAY, MixedU( 3 ), instance ) ), "0.250000" );
	EXPECT_EQ( Text( lib.Call( FF_GET_PARAMETER_DISPLAY, MixedU( 0 ), instance ) ), "hello" );
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_DISPLAY, MixedU( 9 ), instance ).PointerValue, nullptr );

	SetParameterStruct set{};
	set.ParameterNumber                      = 0;
	set.NewParameterValue.PointerValue       = const_cast< char* >( "world" );
	EXPECT_EQ( lib.CallP( FF_SET_PARAMETER, &set, instance ), FF_SUCCESS );
	EXPECT_EQ( Text( lib.Call( FF_GET_PARAMETER, MixedU( 0 ), instance ) ), "world" );
	set.NewParameterValue.PointerValue = nullptr;
	EXPECT_EQ( lib.CallP( FF_SET_PARAMETER, &set, instance ), FF_FAIL );
	EXPECT_EQ( lib.CallP( FF_SET_PARAMETER, nullptr, instance ), FF_FAIL );
	set.ParameterNumber              = 3;
	set.NewParameterValue.FloatValue = 0.75f;
	EXPECT_EQ( lib.CallP( FF_SET_PARAMETER, &set, instance ), FF_SUCCESS );
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER, MixedU( 3 ), instance ).FloatValue, 0.75f );

	EXPECT_EQ( lib.CallU( FF_GET_INPUT_STATUS, 1, instance ), 1u );
	EXPECT_EQ( lib.CallU( FF_GET_INPUT_STATUS, 2, instance ), FF_FAIL );
	EXPECT_EQ( Destroy( instance ), FF_SUCCESS );
}

TEST_F( ProbeEntry, ConnectionFollowsFramesAndExplicitRequests )
{
	void* instance = Instantiate();
	ProcessOpenGLStruct frame{ 0, nullptr };
	lib.ClearLog();
	EXPECT_EQ( lib.CallP( FF_PROCESS_OPENGL, &frame, instance ), FF_SUCCESS );
	EXPECT_EQ( lib.CallP( FF_PROCESS_OPENGL, &frame, instance ), FF_SUCCESS );
	EXPECT_EQ( lib.CallP( FF_PROCESS_OPENGL, nullptr, instance ), FF_FAIL );
	EXPECT_EQ( Count( lib.Log(), "Connect" ), 1u );
	EXPECT_EQ( Count( lib.Log(), "ProcessOpenGL" ), 2u );
	EXPECT_EQ( lib.CallU( FF_DISCONNECT, 0, instance ), FF_SUCCESS );

	// A refused connect leaves the instance disconnected, so the next frame tries again.
	SetParameterStruct set{};
	set.ParameterNumber              = 3;
	set.NewParameterValue.FloatValue = 0.95f;
	lib.CallP( FF_SET_PARAMETER, &set, instance );
	lib.ClearLog();
	EXPECT_EQ( lib.CallU( FF_CONNECT, 0, instance ), FF_FAIL );
	EXPECT_EQ( lib.CallP( FF_PROCESS_OPENGL, &frame, instance ), FF_SUCCESS );
	EXPECT_EQ( Count( lib.Log(), "Connect" ), 2u );
	lib.ClearLog();
	EXPECT_EQ( Destroy( instance ), FF_SUCCESS );
	EXPECT_EQ( lib.Log(), ( std::vector< std::string >{ "Disconnect", "DeInitGL", "destroyed" } ) );

	// An instance that never connected is never disconnected.
	void* quiet = Instantiate();
	lib.ClearLog();
	EXPECT_EQ( Destroy( quiet ), FF_SUCCESS );
	EXPECT_EQ( lib.Log(), ( std::vector< std::string >{ "DeInitGL", "destroyed" } ) );
}

TEST_F( ProbeEntry, HostStateRequestsRefuseNullRecords )
{
	void* instance = Instantiate();
	double time = 1.5;
	EXPECT_EQ( lib.CallP( FF_SET_TIME, &time, instance ), FF_SUCCESS );
	EXPECT_EQ( lib.CallP( FF_SET_TIME, nullptr, instance ), FF_FAIL );
	SetBeatinfoStruct beat{ 128.0f, 0.5f };
	EXPECT_EQ( lib.CallP( FF_SET_BEATINFO, &beat, instance ), FF_SUCCESS );
	EXPECT_EQ( lib.CallP( FF_SET_BEATINFO, nullptr, instance ), FF_FAIL );
	SetHostinfoStruct host{ nullptr, nullptr };
	EXPECT_EQ( lib.CallP( FF_SET_HOSTINFO, &host, instance ), FF_SUCCESS );
	EXPECT_EQ( lib.CallP( FF_SET_HOSTINFO, nullptr, instance ), FF_FAIL );
	EXPECT_EQ( lib.CallU( FF_SET_SAMPLERATE, 44100, instance ), FF_SUCCESS );
	FFGLViewportStruct viewport{ 0, 0, 10, 10 };
	EXPECT_EQ( lib.CallP( FF_RESIZE, &viewport, instance ), FF_SUCCESS );
	EXPECT_EQ( lib.CallP( FF_RESIZE, nullptr, instance ), FF_FAIL );

	SetParameterElementValueStruct element{ 4, 3, 0.5f };
	EXPECT_EQ( lib.CallP( FF_SET_PARAMETER_ELEMENT_VALUE, &element, instance ), FF_SUCCESS );
	GetParameterElementStruct query{ 4, 3 };
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_ELEMENT_VALUE, MixedP( &query ), instance ).FloatValue, 0.5f );
	// The prototype's registry is separate from the instance's.
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_ELEMENT_VALUE, MixedP( &query ) ).FloatValue, 0.0f );
	element.ElementNumber = 4;
	EXPECT_EQ( lib.CallP( FF_SET_PARAMETER_ELEMENT_VALUE, &element, instance ), FF_FAIL );
	EXPECT_EQ( lib.CallP( FF_SET_PARAMETER_ELEMENT_VALUE, nullptr, instance ), FF_FAIL );
	EXPECT_EQ( lib.CallP( FF_GET_PARAMETER_EVENTS, nullptr, instance ), FF_FAIL );
	EXPECT_EQ( Destroy( instance ), FF_SUCCESS );
}

TEST_F( ProbeEntry, ParameterEventsBeyondCapacityStayPending )
{
	void* instance = Instantiate();
	SetParameterStruct set{};
	set.ParameterNumber              = 3;
	set.NewParameterValue.FloatValue = 0.5f;// makes three parameters change
	ASSERT_EQ( lib.CallP( FF_SET_PARAMETER, &set, instance ), FF_SUCCESS );

	GetParamEventsStruct count{ 0, nullptr };
	EXPECT_EQ( lib.CallP( FF_GET_PARAMETER_EVENTS, &count, instance ), FF_SUCCESS );
	EXPECT_EQ( count.numEvents, 3u );
	EXPECT_EQ( lib.CallP( FF_GET_PARAMETER_EVENTS, &count, instance ), FF_SUCCESS );
	EXPECT_EQ( count.numEvents, 3u );

	ParamEventStruct events[ 2 ]{};
	GetParamEventsStruct take{ 2, events };
	EXPECT_EQ( lib.CallP( FF_GET_PARAMETER_EVENTS, &take, instance ), FF_SUCCESS );
	ASSERT_EQ( take.numEvents, 2u );
	EXPECT_EQ( events[ 0 ].ParameterNumber, 2u );
	EXPECT_EQ( events[ 0 ].eventFlags, FF_EVENT_FLAG_DISPLAY_NAME | FF_EVENT_FLAG_ELEMENTS );
	EXPECT_EQ( events[ 1 ].ParameterNumber, 5u );
	EXPECT_EQ( events[ 1 ].eventFlags, FF_EVENT_FLAG_VISIBILITY );
	take.numEvents = 2;
	EXPECT_EQ( lib.CallP( FF_GET_PARAMETER_EVENTS, &take, instance ), FF_SUCCESS );
	ASSERT_EQ( take.numEvents, 1u );
	EXPECT_EQ( events[ 0 ].ParameterNumber, 6u );

	// The changes show in the instance's own registry, not the prototype's.
	EXPECT_EQ( lib.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, 2, instance ), 2u );
	EXPECT_EQ( lib.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, 2 ), 3u );
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_VISIBILITY, 5, instance ), 1u );
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_VISIBILITY, 5 ), 0u );

	char name[ 16 ] = {};
	GetStringStruct display{ 2, { name, sizeof name } };
	EXPECT_EQ( lib.CallP( FF_GET_PARAM_DISPLAY_NAME, &display, instance ), FF_SUCCESS );
	EXPECT_STREQ( name, "Renamed" );
	EXPECT_EQ( lib.CallP( FF_GET_PARAM_DISPLAY_NAME, &display ), FF_FAIL );
	EXPECT_EQ( lib.CallP( FF_GET_PARAM_DISPLAY_NAME, nullptr, instance ), FF_FAIL );
	EXPECT_EQ( Destroy( instance ), FF_SUCCESS );
}

TEST_F( ProbeEntry, TopLeftOrientationCanBeEnabledWhenSupported )
{
	void* instance = Instantiate();
	EXPECT_EQ( lib.CallU( FF_ENABLE_PLUGIN_CAP, FF_CAP_SET_TIME, instance ), FF_FAIL );
	EXPECT_EQ( lib.CallU( FF_ENABLE_PLUGIN_CAP, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, instance ), FF_SUCCESS );
	EXPECT_EQ( Destroy( instance ), FF_SUCCESS );
}
}// namespace
