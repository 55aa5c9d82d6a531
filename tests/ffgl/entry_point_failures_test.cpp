// Plug-ins whose factory, constructor or GL set-up fails: every request is
// answered with its failure value and nothing half-made is left behind.
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
void ExpectNoPrototype( const PluginLibrary& lib )
{
	EXPECT_EQ( lib.CallU( FF_INITIALISE_V2 ), FF_FAIL );
	EXPECT_EQ( lib.CallU( FF_GET_NUM_PARAMETERS ), FF_FAIL );
	EXPECT_EQ( lib.Call( FF_GET_PARAMETER_NAME, MixedU( 0 ) ).PointerValue, nullptr );
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_DEFAULT, 0 ), FF_FAIL );
	EXPECT_EQ( lib.CallU( FF_GET_PARAMETER_TYPE, 0 ), FF_FAIL );
	EXPECT_EQ( lib.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_SET_TIME ), 0u );
	EXPECT_EQ( lib.CallU( FF_GET_NUM_ELEMENT_SEPARATORS, 2 ), 0u );
	EXPECT_EQ( lib.Call( FF_GET_PLUGIN_SHORT_NAME, MixedU( 0 ) ).PointerValue, nullptr );
	RangeStruct range{ 0, -3.0f, -4.0f };
	EXPECT_EQ( lib.CallP( FF_GET_RANGE, &range ), FF_FAIL );
	EXPECT_EQ( range.min, -3.0f );// untouched
	char buffer[ 4 ] = {};
	GetStringStruct group{ 2, { buffer, 4 } };
	EXPECT_EQ( lib.CallP( FF_GET_PARAM_GROUP, &group ), FF_FAIL );
	FFGLViewportStruct viewport{ 0, 0, 8, 8 };
	EXPECT_EQ( lib.Call( FF_INSTANTIATE_GL, MixedP( &viewport ) ).PointerValue, FFWidenedFail() );
	// Identity needs no object at all.
	EXPECT_NE( lib.Call( FF_GET_INFO, MixedU( 0 ) ).PointerValue, nullptr );
}

TEST( EntryPointFailures, FactoryThatFailsLeavesNoPrototype )
{
	PluginLibrary lib( PluginPath( "ProbeFactoryFails" ) );
	ExpectNoPrototype( lib );
	EXPECT_EQ( lib.CallU( FF_DEINITIALISE ), FF_SUCCESS );
}

TEST( EntryPointFailures, ConstructorThatThrowsNeverReachesTheHost )
{
	PluginLibrary lib( PluginPath( "ProbeCtorThrows" ) );
	ExpectNoPrototype( lib );
	EXPECT_EQ( lib.CallU( FF_DEINITIALISE ), FF_SUCCESS );
}

TEST( EntryPointFailures, InstanceConstructorThatThrowsFailsInstantiation )
{
	PluginLibrary lib( PluginPath( "ProbeInstanceCtorThrows" ) );
	EXPECT_EQ( lib.CallU( FF_INITIALISE_V2 ), FF_SUCCESS );
	FFGLViewportStruct viewport{ 0, 0, 8, 8 };
	EXPECT_EQ( lib.Call( FF_INSTANTIATE_GL, MixedP( &viewport ) ).PointerValue, FFWidenedFail() );
	for( const std::string& line : lib.Log() )
		EXPECT_NE( line, "InitGL" );
	EXPECT_EQ( lib.CallU( FF_DEINITIALISE ), FF_SUCCESS );
}

// A failed GL set-up is followed by DeInitGL and deletion before the answer.
void ExpectInitGLFailureCleansUp( const std::string& variant )
{
	PluginLibrary lib( PluginPath( variant ) );
	EXPECT_EQ( lib.CallU( FF_INITIALISE_V2 ), FF_SUCCESS );
	lib.ClearLog();
	FFGLViewportStruct viewport{ 0, 0, 8, 8 };
	EXPECT_EQ( lib.Call( FF_INSTANTIATE_GL, MixedP( &viewport ) ).PointerValue, FFWidenedFail() );
	EXPECT_EQ( lib.Log(), ( std::vector< std::string >{ "InitGL", "DeInitGL", "destroyed" } ) );
	EXPECT_EQ( lib.CallU( FF_DEINITIALISE ), FF_SUCCESS );
}

TEST( EntryPointFailures, InitGLThatFailsIsUndone )
{
	ExpectInitGLFailureCleansUp( "ProbeInitGLFails" );
}

TEST( EntryPointFailures, InitGLThatThrowsIsUndone )
{
	ExpectInitGLFailureCleansUp( "ProbeInitGLThrows" );
}
}// namespace
