// The entry point, driven through plugMain of dlopen'ed test plug-ins: one
// that uses text and file parameters, a thumbnail, hooks and parameter
// events, and variants whose factory, constructor or GL set-up fails.
#include <gtest/gtest.h>

#include <EntryPointValues.h>
#include <PluginLibrary.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "PluginPaths.h"

using namespace plughost;

namespace
{
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
	uint32_t SetFloat( void* instance, uint32_t index, float value )
	{
		SetParameterStruct set{};
		set.ParameterNumber = index;
		set.NewParameterValue.FloatValue = value;
		return lib.CallP( FF_SET_PARAMETER, &set, instance );
	}
	size_t Logged( const std::string& message ) const
	{
		const auto log = lib.Log();
		return size_t( std::count( log.begin(), log.end(), message ) );
	}
};

std::string Text( FFMixed answer )
{
	return answer.PointerValue ? static_cast< const char* >( answer.PointerValue ) : "(null)";
}

TEST_F( ProbeEntry, UnknownCodesAndMissingInstancesFail )
{
	for( uint32_t code : { 1u, 3u, 11u, 12u, 14u, 24u, 25u, 26u, 27u, 28u, 29u, 30u, 52u, 200u, 0xFFFFFFFFu, // unknown
						   8u, 9u, 16u, 17u, 19u, 20u, 21u, 22u, 23u, 37u, 38u, 39u, 40u, 46u, 49u, 51u } )// need an instance
		EXPECT_EQ( lib.CallU( code, 0 ), FF_FAIL ) << "code " << code;
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_DISPLAY, MixedU( 0 ) ).PointerValue, FFWidenedFail() );
	EXPECT_EQ( lib.Call( FF_INSTANTIATE_GL, MixedP( nullptr ) ).PointerValue, FFWidenedFail() );
}

TEST_F( ProbeEntry, HooksRunAroundThePrototype )
{
	EXPECT_EQ( lib.CallU( FF_INITIALISE_V2 ), FF_SUCCESS );
	EXPECT_EQ( lib.CallU( FF_DEINITIALISE ), FF_SUCCESS );
	EXPECT_EQ( lib.Log(), ( std::vector< std::string >{ "initialise hook", "destroyed", "de-initialise hook" } ) );
	EXPECT_EQ( ( std::tuple{ lib.CallU( FF_GET_NUM_PARAMETERS ), Text( lib.Call( FF_GET_PLUGIN_SHORT_NAME, MixedU( 0 ) ) ) } ),
			   std::tuple( 7u, "Probe" ) );// a fresh prototype on demand
}

// Each plug-in-wide handler, for a registered and an unregistered parameter
// or index; the records of codes 35, 36, 44 and 48 may be null.
TEST_F( ProbeEntry, ParameterQueriesAnswerFromThePrototype )
{
	const std::tuple< uint32_t, uint32_t, uint32_t > counts[] = {// code, parameter, answer
		{ FF_GET_NUM_PARAMETERS, 0, 7 }, { FF_GET_PARAMETER_TYPE, 1, FF_TYPE_FILE }, { FF_GET_PARAMETER_TYPE, 7, FF_FAIL },
		{ FF_GET_PARAMETER_DEFAULT, 7, FF_FAIL }, { FF_GET_PARAMETER_USAGE, 4, FF_USAGE_FFT }, { FF_GET_PARAMETER_USAGE, 7, FF_FAIL },
		{ FF_GET_NUM_PARAMETER_ELEMENTS, 2, 3 }, { FF_GET_NUM_PARAMETER_ELEMENTS, 7, FF_FAIL }, { FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, 1, 2 },
		{ FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, 7, 0 }, { FF_GET_PARAMETER_VISIBILITY, 5, 0 }, { FF_GET_PARAMETER_VISIBILITY, 3, 1 },
		{ FF_GET_PARAMETER_VISIBILITY, 7, FF_FAIL }, { FF_GET_NUM_ELEMENT_SEPARATORS, 2, 2 }, { FF_GET_NUM_ELEMENT_SEPARATORS, 7, 0 } };
	for( const auto& [ code, index, answer ] : counts )
		EXPECT_EQ( lib.CallU( code, index ), answer ) << code << " " << index;
	EXPECT_EQ( ( std::tuple{ lib.Call( FF_GET_PARAMETER_DEFAULT, MixedU( 3 ) ).FloatValue, lib.Call( FF_GET_PARAMETER_DEFAULT, MixedU( 5 ) ).FloatValue } ),
			   std::tuple( 0.25f, 1.0f ) );
	const std::tuple< uint32_t, uint32_t, std::string > texts[] = {// code, parameter, text
		{ FF_GET_PARAMETER_NAME, 2, "Mode" }, { FF_GET_PARAMETER_NAME, 7, "(null)" }, { FF_GET_PARAMETER_DEFAULT, 0, "hello" },
		{ FF_GET_PARAMETER_DEFAULT, 1, "a.png" } };
	for( const auto& [ code, index, text ] : texts )
		EXPECT_EQ( Text( lib.Call( code, MixedU( index ) ) ), text ) << code << " " << index;
	const std::tuple< uint32_t, uint32_t, uint32_t, std::string > elements[] = {// code, parameter, element, text
		{ FF_GET_PARAMETER_ELEMENT_NAME, 2, 1, "Second" }, { FF_GET_PARAMETER_ELEMENT_NAME, 2, 3, "(null)" }, { FF_GET_FILE_PARAMETER_EXTENSION, 1, 1, "jpg" },
		{ FF_GET_FILE_PARAMETER_EXTENSION, 1, 2, "(null)" } };
	for( const auto& [ code, index, element, text ] : elements )
	{
		GetParameterElementStruct query{ index, element };
		EXPECT_EQ( ( std::tuple{ Text( lib.Call( code, MixedP( &query ) ) ), Text( lib.Call( code, MixedP( nullptr ) ) ) } ), std::tuple( text, "(null)" ) ) << code;
	}
	GetParameterElementStruct first{ 2, 1 }, beyond{ 2, 3 }, second{ 2, 2 };
	EXPECT_EQ( ( std::tuple{ lib.Call( FF_GET_PARAMETER_ELEMENT_VALUE, MixedP( &first ) ).FloatValue, lib.CallP( FF_GET_PARAMETER_ELEMENT_VALUE, &beyond ),
							 lib.CallP( FF_GET_PARAMETER_ELEMENT_VALUE, nullptr ), lib.CallP( FF_GET_SEPARATOR_ELEMENT_INDEX, &first ),
							 lib.CallP( FF_GET_SEPARATOR_ELEMENT_INDEX, &second ), lib.CallP( FF_GET_SEPARATOR_ELEMENT_INDEX, nullptr ) } ),
			   std::tuple( 20.0f, FF_FAIL, FF_FAIL, 7u, FF_FAIL, FF_FAIL ) );
}

TEST_F( ProbeEntry, RangesCapabilitiesAndTopLeftOrientation )
{
	RangeStruct range{ 9, -5.0f, -5.0f };// unregistered: the default range
	EXPECT_EQ( ( std::tuple{ lib.CallP( FF_GET_RANGE, &range ), range.min, range.max, lib.CallP( FF_GET_RANGE, nullptr ) } ),
			   std::tuple( FF_SUCCESS, 0.0f, 1.0f, FF_FAIL ) );
	for( auto [ capability, answer ] : { std::pair{ FF_CAP_SET_TIME, 0u }, { FF_CAP_MINIMUM_INPUT_FRAMES, 1u },
										 { FF_CAP_MAXIMUM_INPUT_FRAMES, 2u }, { FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, 1u }, { 3u, 0u } } )
		EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, capability ), answer ) << capability;
	void* instance = Instantiate();
	EXPECT_EQ( ( std::tuple{ lib.CallU( FF_ENABLE_PLUGIN_CAP, FF_CAP_SET_TIME, instance ),
						   lib.CallU( FF_ENABLE_PLUGIN_CAP, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, instance ) } ),
			   std::tuple( FF_FAIL, FF_SUCCESS ) );
	Destroy( instance );
}

// A parameter without a group copies nothing; capacity 0 or a null record or
// buffer fails.
TEST_F( ProbeEntry, GroupTextIsCopiedUpToCapacityWithoutTerminator )
{
	char buffer[ 8 ] = { 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z', 'Z' };
	GetStringStruct query{ 2, { buffer, 3 } }, ungrouped{ 3, { buffer, 8 } }, empty{ 2, { buffer, 0 } }, nowhere{ 2, { nullptr, 8 } };
	EXPECT_EQ( ( std::tuple{ lib.CallP( FF_GET_PARAM_GROUP, &query ), lib.CallP( FF_GET_PARAM_GROUP, &ungrouped ), std::string( buffer, 8 ),
							 lib.CallP( FF_GET_PARAM_GROUP, &empty ), lib.CallP( FF_GET_PARAM_GROUP, nullptr ), lib.CallP( FF_GET_PARAM_GROUP, &nowhere ) } ),
			   std::tuple( FF_SUCCESS, FF_SUCCESS, "GroZZZZZ", FF_FAIL, FF_FAIL, FF_FAIL ) );
}

TEST_F( ProbeEntry, ThumbnailIsCopiedAsMachineOrderWords )
{
	GetThumbnailStruct query{ 0, 0, nullptr };
	EXPECT_EQ( ( std::tuple{ lib.CallP( FF_GET_THUMBNAIL, nullptr ), lib.CallP( FF_GET_THUMBNAIL, &query ), query.width, query.height } ),
			   std::tuple( FF_FAIL, FF_SUCCESS, 2u, 2u ) );
	uint32_t pixels[ 4 ] = {};
	query.rgbaPixelBuffer = pixels;
	EXPECT_EQ( lib.CallP( FF_GET_THUMBNAIL, &query ), FF_SUCCESS );
	EXPECT_EQ( std::vector< uint32_t >( pixels, pixels + 4 ), ( std::vector< uint32_t >{ 0x01020304u, 0xAABBCCDDu, 0x05060708u, 0 } ) );
}

TEST_F( ProbeEntry, InstancesStartWithTheRegisteredDefaults )
{
	void* instance = Instantiate();
	auto get = [ & ]( uint32_t code, uint32_t index ) { return lib.Call( code, MixedU( index ), instance ); };
	EXPECT_EQ( Text( get( FF_GET_PARAMETER, 0 ) ) + Text( get( FF_GET_PARAMETER, 1 ) ) + Text( get( FF_GET_PARAMETER_DISPLAY, 3 ) ) +
				   Text( get( FF_GET_PARAMETER_DISPLAY, 0 ) ) + Text( get( FF_GET_PARAMETER_DISPLAY, 9 ) ),
			   "helloa.png0.250000hello(null)" );
	EXPECT_EQ( ( std::tuple{ get( FF_GET_PARAMETER, 3 ).FloatValue, get( FF_GET_PARAMETER, 2 ).FloatValue } ), std::tuple( 0.25f, 1.0f ) );
	SetParameterStruct set{};
	set.NewParameterValue.PointerValue = const_cast< char* >( "world" );
	EXPECT_EQ( lib.CallP( FF_SET_PARAMETER, &set, instance ), FF_SUCCESS );
	EXPECT_EQ( Text( get( FF_GET_PARAMETER, 0 ) ), "world" );
	set.NewParameterValue.PointerValue = nullptr;
	EXPECT_EQ( ( std::tuple{ lib.CallP( FF_SET_PARAMETER, &set, instance ), lib.CallP( FF_SET_PARAMETER, nullptr, instance ),
						   SetFloat( instance, 3, 0.75f ), get( FF_GET_PARAMETER, 3 ).FloatValue } ),
			   std::tuple( FF_FAIL, FF_FAIL, FF_SUCCESS, 0.75f ) );
	EXPECT_EQ( ( std::tuple{ lib.CallU( FF_GET_INPUT_STATUS, 1, instance ), lib.CallU( FF_GET_INPUT_STATUS, 2, instance ), Destroy( instance ) } ),
			   std::tuple( 1u, FF_FAIL, FF_SUCCESS ) );
}

// Frames connect once; a refused connect is tried again at the next frame;
// an instance that never connected is never disconnected.
TEST_F( ProbeEntry, ConnectionFollowsFramesAndExplicitRequests )
{
	void* instance = Instantiate();
	ProcessOpenGLStruct frame{ 0, nullptr };
	lib.ClearLog();
	EXPECT_EQ( ( std::tuple{ lib.CallP( FF_PROCESS_OPENGL, &frame, instance ), lib.CallP( FF_PROCESS_OPENGL, &frame, instance ),
						   lib.CallP( FF_PROCESS_OPENGL, nullptr, instance ) } ),
			   std::tuple( FF_SUCCESS, FF_SUCCESS, FF_FAIL ) );
	EXPECT_EQ( ( std::tuple{ Logged( "Connect" ), Logged( "ProcessOpenGL" ), lib.CallU( FF_DISCONNECT, 0, instance ) } ), std::tuple( 1u, 2u, FF_SUCCESS ) );
	SetFloat( instance, 3, 0.95f );// the probe refuses to connect now
	lib.ClearLog();
	EXPECT_EQ( ( std::tuple{ lib.CallU( FF_CONNECT, 0, instance ), lib.CallP( FF_PROCESS_OPENGL, &frame, instance ) } ), std::tuple( FF_FAIL, FF_SUCCESS ) );
	EXPECT_EQ( Logged( "Connect" ), 2u );
	lib.ClearLog();
	Destroy( instance );
	void* quiet = Instantiate();
	Destroy( quiet );
	EXPECT_EQ( lib.Log(), ( std::vector< std::string >{ "Disconnect", "DeInitGL", "destroyed", "InitGL", "DeInitGL", "destroyed" } ) );
}

TEST_F( ProbeEntry, HostStateRequestsRefuseNullRecords )
{
	void* instance = Instantiate();
	double time = 1.5;
	SetBeatinfoStruct beat{ 128.0f, 0.5f };
	SetHostinfoStruct host{ nullptr, nullptr };
	FFGLViewportStruct viewport{ 0, 0, 10, 10 };
	SetParameterElementValueStruct element{ 4, 3, 0.5f }, beyond{ 4, 4, 0.5f };
	for( auto [ code, record ] : { std::pair< uint32_t, const void* >{ FF_SET_TIME, &time }, { FF_SET_BEATINFO, &beat }, { FF_SET_HOSTINFO, &host },
								   { FF_RESIZE, &viewport }, { FF_SET_PARAMETER_ELEMENT_VALUE, &element } } )
		EXPECT_EQ( ( std::tuple{ lib.CallP( code, record, instance ), lib.CallP( code, nullptr, instance ) } ), std::tuple( FF_SUCCESS, FF_FAIL ) ) << code;
	EXPECT_EQ( ( std::tuple{ lib.CallU( FF_SET_SAMPLERATE, 44100, instance ), lib.CallP( FF_SET_PARAMETER_ELEMENT_VALUE, &beyond, instance ),
						   lib.CallP( FF_GET_PARAMETER_EVENTS, nullptr, instance ) } ),
			   std::tuple( FF_SUCCESS, FF_FAIL, FF_FAIL ) );
	// The element changed in the instance's registry, not the prototype's.
	GetParameterElementStruct query{ 4, 3 };
	EXPECT_EQ( ( std::tuple{ lib.Call( FF_GET_PARAMETER_ELEMENT_VALUE, MixedP( &query ), instance ).FloatValue,
						   lib.Call( FF_GET_PARAMETER_ELEMENT_VALUE, MixedP( &query ) ).FloatValue } ),
			   std::tuple( 0.5f, 0.0f ) );
	Destroy( instance );
}

TEST_F( ProbeEntry, ParameterEventsBeyondCapacityStayPending )
{
	void* instance = Instantiate();
	ASSERT_EQ( SetFloat( instance, 3, 0.5f ), FF_SUCCESS );// makes three parameters change
	GetParamEventsStruct count{ 0, nullptr };
	for( int twice = 0; twice < 2; ++twice )// counting clears nothing
		EXPECT_EQ( ( std::tuple{ lib.CallP( FF_GET_PARAMETER_EVENTS, &count, instance ), count.numEvents } ), std::tuple( FF_SUCCESS, 3u ) );
	ParamEventStruct events[ 2 ]{};
	GetParamEventsStruct take{ 2, events };
	EXPECT_EQ( ( std::tuple{ lib.CallP( FF_GET_PARAMETER_EVENTS, &take, instance ), take.numEvents, events[ 0 ].ParameterNumber,
						   events[ 0 ].eventFlags, events[ 1 ].ParameterNumber, events[ 1 ].eventFlags } ),
			   std::tuple( FF_SUCCESS, 2u, 2u, FF_EVENT_FLAG_DISPLAY_NAME | FF_EVENT_FLAG_ELEMENTS, 5u, FF_EVENT_FLAG_VISIBILITY ) );
	take.numEvents = 2;
	EXPECT_EQ( ( std::tuple{ lib.CallP( FF_GET_PARAMETER_EVENTS, &take, instance ), take.numEvents, events[ 0 ].ParameterNumber } ),
			   std::tuple( FF_SUCCESS, 1u, 6u ) );
	// The changes show in the instance's own registry, not the prototype's.
	EXPECT_EQ( ( std::tuple{ lib.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, 2, instance ), lib.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, 2 ),
						   lib.CallU( FF_GET_PARAMETER_VISIBILITY, 5, instance ), lib.CallU( FF_GET_PARAMETER_VISIBILITY, 5 ) } ),
			   std::tuple( 2u, 3u, 1u, 0u ) );
	char name[ 16 ] = {};
	GetStringStruct display{ 2, { name, sizeof name } };
	EXPECT_EQ( ( std::tuple{ lib.CallP( FF_GET_PARAM_DISPLAY_NAME, &display, instance ), std::string( name ), lib.CallP( FF_GET_PARAM_DISPLAY_NAME, &display ),
						   lib.CallP( FF_GET_PARAM_DISPLAY_NAME, nullptr, instance ) } ),
			   std::tuple( FF_SUCCESS, "Renamed", FF_FAIL, FF_FAIL ) );
	Destroy( instance );
}

// Without a prototype each handler answers its tabulated failure value;
// identity needs no object at all.
TEST( EntryPointFailures, FactoryOrConstructorFailureLeavesNoPrototype )
{
	for( const char* variant : { "ProbeFactoryFails", "ProbeCtorThrows" } )
	{
		PluginLibrary lib( PluginPath( variant ) );
		RangeStruct range{ 0, -3.0f, -4.0f };
		char buffer[ 4 ] = {};
		GetStringStruct group{ 2, { buffer, 4 } };
		FFGLViewportStruct viewport{ 0, 0, 8, 8 };
		EXPECT_EQ( ( std::tuple{ lib.CallU( FF_INITIALISE_V2 ), lib.CallU( FF_GET_NUM_PARAMETERS ), lib.CallU( FF_GET_PARAMETER_DEFAULT, 0 ),
							   lib.CallU( FF_GET_PARAMETER_TYPE, 0 ), lib.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_SET_TIME ),
							   lib.CallU( FF_GET_NUM_ELEMENT_SEPARATORS, 2 ), lib.CallP( FF_GET_RANGE, &range ), range.min,
							   lib.CallP( FF_GET_PARAM_GROUP, &group ) } ),
				   std::tuple( FF_FAIL, FF_FAIL, FF_FAIL, FF_FAIL, 0u, 0u, FF_FAIL, -3.0f, FF_FAIL ) )
			<< variant;
		EXPECT_EQ( ( std::tuple{ lib.Call( FF_GET_PARAMETER_NAME, MixedU( 0 ) ).PointerValue, lib.Call( FF_GET_PLUGIN_SHORT_NAME, MixedU( 0 ) ).PointerValue,
							   lib.Call( FF_INSTANTIATE_GL, MixedP( &viewport ) ).PointerValue } ),
				   std::tuple( nullptr, nullptr, FFWidenedFail() ) )
			<< variant;
		EXPECT_NE( lib.Call( FF_GET_INFO, MixedU( 0 ) ).PointerValue, nullptr );
		EXPECT_EQ( lib.CallU( FF_DEINITIALISE ), FF_SUCCESS );
	}
}

// A throwing instance constructor never reaches InitGL; a failed or throwing
// InitGL is followed by DeInitGL and deletion before the answer.
TEST( EntryPointFailures, FailedInstantiationLeavesNothingBehind )
{
	const std::pair< const char*, std::vector< std::string > > cases[] = {
		{ "ProbeInstanceCtorThrows", {} }, { "ProbeInitGLFails", { "InitGL", "DeInitGL", "destroyed" } },
		{ "ProbeInitGLThrows", { "InitGL", "DeInitGL", "destroyed" } } };
	for( const auto& [ variant, log ] : cases )
	{
		PluginLibrary lib( PluginPath( variant ) );
		EXPECT_EQ( lib.CallU( FF_INITIALISE_V2 ), FF_SUCCESS );
		lib.ClearLog();
		FFGLViewportStruct viewport{ 0, 0, 8, 8 };
		EXPECT_EQ( lib.Call( FF_INSTANTIATE_GL, MixedP( &viewport ) ).PointerValue, FFWidenedFail() );
		EXPECT_EQ( lib.Log(), log ) << variant;
		EXPECT_EQ( lib.CallU( FF_DEINITIALISE ), FF_SUCCESS );
	}
}

std::set< std::string > ExportedSymbols( const std::string& path )
{
	std::set< std::string > names;
	FILE* pipe = popen( ( "nm -D --defined-only '" + path + "' 2>/dev/null" ).c_str(), "r" );
	char line[ 512 ];
	while( pipe && fgets( line, sizeof line, pipe ) )
	{
		std::string name( line );
		name = name.substr( name.find_last_of( ' ' ) + 1 );// the last field, without a version or the newline
		names.insert( name.substr( 0, name.find_first_of( "@\n" ) ) );
	}
	if( pipe )
		pclose( pipe );
	return names;
}

TEST( Symbols, PluginsExportExactlyTheTwoEntryPoints )
{
	for( const char* name : { "VavoRozar", "Probe" } )
		EXPECT_EQ( ExportedSymbols( PluginPath( name ) ), ( std::set< std::string >{ "plugMain", "SetLogCallback" } ) ) << name;
}

TEST( Symbols, GloballyLoadedPluginsKeepTheirOwnState )
{
	PluginLibrary clock( PluginPath( "VavoRozar" ), LoadOptions{ true, true } );
	PluginLibrary probe( PluginPath( "Probe" ), LoadOptions{ true, true } );
	EXPECT_EQ( clock.Identity().id + probe.Identity().id, "KP50PRB1" );
	EXPECT_EQ( clock.CallU( FF_GET_NUM_PARAMETERS ) * 100 + probe.CallU( FF_GET_NUM_PARAMETERS ), 1307u );
	EXPECT_EQ( clock.CallU( FF_GET_PARAMETER_TYPE, 0 ) * 1000 + probe.CallU( FF_GET_PARAMETER_TYPE, 0 ), FF_TYPE_OPTION * 1000 + FF_TYPE_TEXT );
	// Each library's messages reach only its own callback.
	EXPECT_EQ( clock.Log(), std::vector< std::string >{ "Created VavoRozar effect" } );
	EXPECT_EQ( probe.Log(), std::vector< std::string >{ "initialise hook" } );
	clock.CallU( FF_DEINITIALISE );
	probe.CallU( FF_DEINITIALISE );
}
}// namespace
