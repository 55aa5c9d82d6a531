// Loading, queries and log capture, against the SDK-built test plug-in.
#include "TestSupport.h"

#include <PlugHost.h>

#include <gtest/gtest.h>

#include <fstream>

using namespace plughost;
using testsupport::Fixture;

namespace
{
const std::string kProbe = testsupport::Plugin( "Probe" );

TEST( Loading, FailuresRaiseReadableErrors )
{
	const std::string text = testsupport::ScratchDir( "loading" ) + "/notes.so";
	std::ofstream( text ) << "this is not a shared library\n";
	const std::pair< std::string, std::string > cases[] = {
		{ "/nonexistent/dir/Plugin.so", "no such file: /nonexistent/dir/Plugin.so" },
		{ "", "no such file" },
		{ "/tmp", "it is a directory" },
		{ text, "cannot load " + text + ": " },// then the loader's own reason
		{ "libc.so.6", "no such file: libc.so.6" },// never searched on the system path
		{ Fixture( "NotAPlugin" ), "is not an FFGL plug-in: it has no plugMain" },
		{ Fixture( "InfoNull" ), "answered failure to the identity request" },
		{ Fixture( "InfoWidened" ), "answered failure to the identity request" },
	};
	for( const auto& [ path, expected ] : cases )
	{
		try
		{
			PluginLibrary library( path );
			ADD_FAILURE() << path << " should not load";
		}
		catch( const Error& error )
		{
			const std::string message = error.what();
			EXPECT_NE( message.find( expected ), std::string::npos ) << message;
			EXPECT_TRUE( path.empty() || message.back() != ' ' ) << message;
		}
	}
}

TEST( Loading, IdentityExtendedAndCaps )
{
	for( bool global : { false, true, false } )// loads and unloads again
	{
		PluginLibrary library( kProbe, LoadOptions{ global, true } );
		const PluginIdentity& identity = library.Identity();
		EXPECT_EQ( identity.id, "PRB1" );
		EXPECT_EQ( identity.name, "Probe plug-in na" );// the field's 16 characters, unterminated
		EXPECT_EQ( identity.type, FF_EFFECT );
		EXPECT_EQ( identity.apiMajorVersion * 10 + identity.apiMinorVersion, 21u );
	}
	PluginLibrary library( kProbe );
	const auto extended = library.Extended();
	ASSERT_TRUE( extended );
	EXPECT_EQ( extended->majorVersion * 10 + extended->minorVersion, 37u );
	EXPECT_EQ( extended->description, "A plug-in for testing the entry point" );
	EXPECT_EQ( extended->about, "Test team" );
	EXPECT_EQ( extended->extendedDataSize, 3u );
	EXPECT_EQ( library.ShortName().value_or( "?" ), "Probe" );
	const Capabilities caps = library.Caps();
	EXPECT_FALSE( caps.timeSupported );
	EXPECT_EQ( caps.minimumInputs * 10 + caps.maximumInputs, 12u );
	EXPECT_TRUE( caps.topLeftOrientation );
}

TEST( Loading, LogIsSharedByEveryOpenerOfTheFile )
{
	PluginLibrary library( kProbe );
	ASSERT_TRUE( library.CapturingLog() );
	EXPECT_TRUE( library.Log().empty() );
	{
		PluginLibrary second( kProbe );
		ASSERT_EQ( second.Initialise(), FF_SUCCESS );
		EXPECT_EQ( library.Log(), std::vector< std::string >{ "initialise hook" } );
	}
	// The second one unloading must leave the first one's capture working.
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_TRUE( library.Initialised() );
	EXPECT_EQ( library.Log(), ( std::vector< std::string >{ "initialise hook", "destroyed", "de-initialise hook", "initialise hook" } ) );
	library.ClearLog();
	EXPECT_TRUE( library.Log().empty() );
}

struct Expected
{
	const char* name;
	uint32_t type;
	float defaultValue;
	const char* defaultText;
	bool visible;
	const char* group;
};

TEST( Queries, DescribeAllMatchesTheRegisteredTable )
{
	const std::vector< Expected > table = {
		{ "Label", FF_TYPE_TEXT, 0.0f, "hello", true, "" },     { "Image", FF_TYPE_FILE, 0.0f, "a.png", true, "" },
		{ "Mode", FF_TYPE_OPTION, 1.0f, "", true, "Groupy" },   { "Amount", FF_TYPE_STANDARD, 0.25f, "", true, "" },
		{ "Spectrum", FF_TYPE_BUFFER, 0.0f, "", true, "" },     { "Hidden", FF_TYPE_STANDARD, 1.0f, "", false, "" },
		{ "Flag", FF_TYPE_BOOLEAN, 1.0f, "", true, "" },
	};
	PluginLibrary library( kProbe );
	const auto described = library.DescribeAll();
	ASSERT_EQ( described.size(), table.size() );
	for( uint32_t i = 0; i < table.size(); ++i )
	{
		SCOPED_TRACE( table[ i ].name );
		const ParameterDescription& d = described[ i ];
		EXPECT_EQ( d.index, i );
		EXPECT_EQ( d.name, table[ i ].name );
		EXPECT_EQ( d.type, table[ i ].type );
		EXPECT_FLOAT_EQ( d.defaultValue, table[ i ].defaultValue );
		EXPECT_EQ( d.defaultText, table[ i ].defaultText );
		EXPECT_EQ( d.visible, table[ i ].visible );
		EXPECT_EQ( d.group, table[ i ].group );
	}
	const auto& mode = described[ 2 ].elements;
	ASSERT_EQ( mode.size(), 3u );
	EXPECT_EQ( mode[ 0 ].name + mode[ 1 ].name + mode[ 2 ].name, "FirstSecondThird" );
	EXPECT_EQ( described[ 4 ].elements.size(), 4u );
	EXPECT_FLOAT_EQ( described[ 2 ].elements[ 2 ].value.value_or( -1.0f ), 30.0f );
	EXPECT_EQ( described[ 2 ].separators, ( std::vector< uint32_t >{ 1, 7 } ) );
	EXPECT_EQ( described[ 1 ].fileExtensions, ( std::vector< std::string >{ "png", "jpg" } ) );
	EXPECT_EQ( described[ 4 ].usage, FF_USAGE_FFT );
}

TEST( Queries, FailedAnswersBecomeEmpty )
{
	PluginLibrary library( kProbe );
	EXPECT_FALSE( library.ParameterName( 99 ) );
	EXPECT_FALSE( library.ParameterType( 99 ) );
	EXPECT_FALSE( library.ParameterDefault( 99 ) );
	EXPECT_FALSE( library.ElementName( 2, 3 ) );
	EXPECT_FALSE( library.ElementValue( 2, 3 ) );
	EXPECT_FALSE( library.Visible( 99 ) );
	EXPECT_THROW( library.Describe( 99 ), Error );
	// A capacity shorter than the text cuts it without reading past the buffer.
	EXPECT_EQ( QueryText( library, FF_GET_PARAM_GROUP, 2, nullptr, 3 ).value_or( "?" ), "Gro" );
	EXPECT_FALSE( QueryText( library, FF_GET_PARAM_GROUP, 2, nullptr, 0 ) );
	EXPECT_EQ( library.CallU( 1 ), FF_FAIL );
}

TEST( Queries, MixedHelpersAndNames )
{
	EXPECT_TRUE( IsFailedPointer( nullptr ) && IsFailedPointer( FFWidenedFail() ) );
	int value = 0;
	EXPECT_FALSE( IsFailedPointer( &value ) );
	EXPECT_EQ( MixedU( 7 ).PointerValue, reinterpret_cast< void* >( 7 ) ) << "upper bytes must be zero";
	const char field[ 4 ] = { 'A', 'B', 'C', 'D' };
	EXPECT_EQ( CopyField( field, 4 ), "ABCD" );
	EXPECT_EQ( CopyText( nullptr ), "" );
	const std::pair< uint32_t, std::string > names[] = { { FF_TYPE_BOOLEAN, "boolean" }, { FF_TYPE_OPTION, "option" },
		{ FF_TYPE_TEXT, "text" }, { FF_TYPE_FILE, "file" }, { FF_TYPE_RED, "red" }, { 77, "unknown (77)" } };
	for( const auto& [ type, name ] : names )
		EXPECT_EQ( ParameterTypeName( type ), name );
	EXPECT_EQ( PluginTypeName( FF_MIXER ), "mixer" );
	EXPECT_TRUE( IsTextType( FF_TYPE_FILE ) && !IsTextType( FF_TYPE_OPTION ) );
}
}// namespace
