#include "HostTestSupport.h"

#include <PluginLibrary.h>

#include <gtest/gtest.h>

#include <fstream>

using namespace plughost;

namespace
{
std::string LoadError( const std::string& path )
{
	try
	{
		PluginLibrary library( path );
	}
	catch( const Error& error )
	{
		return error.what();
	}
	return "";
}

struct LoadCase
{
	const char* label;
	std::string path;
	std::string expected;// a piece of the message
};

class LoadFailure : public ::testing::TestWithParam< LoadCase >
{
};

TEST_P( LoadFailure, RaisesReadableError )
{
	const std::string message = LoadError( GetParam().path );
	ASSERT_FALSE( message.empty() ) << "loading " << GetParam().path << " should fail";
	EXPECT_NE( message.find( GetParam().expected ), std::string::npos ) << message;
}

std::string TextFile()
{
	const std::string path = hosttest::ScratchDir( "loading" ) + "/notes.so";
	std::ofstream( path ) << "this is not a shared library\n";
	return path;
}

INSTANTIATE_TEST_SUITE_P(
	Host, LoadFailure,
	::testing::Values(
		LoadCase{ "missing", "/nonexistent/dir/Plugin.so", "no such file: /nonexistent/dir/Plugin.so" },
		LoadCase{ "empty", "", "no such file" },
		LoadCase{ "directory", "/tmp", "it is a directory" },
		LoadCase{ "text", TextFile(), "cannot load" },
		// A bare name must not be looked up on the system library path.
		LoadCase{ "bare_system_name", "libc.so.6", "no such file: libc.so.6" },
		LoadCase{ "no_entry_point", hosttest::Fixture( "NotAPlugin" ), "is not an FFGL plug-in: it has no plugMain" },
		LoadCase{ "identity_null", hosttest::Fixture( "MockInfoNull" ), "answered failure to the identity request" },
		LoadCase{ "identity_widened", hosttest::Fixture( "MockInfoWidened" ), "answered failure to the identity request" } ),
	[]( const auto& info ) { return std::string( info.param.label ); } );

TEST( Loading, TextFileErrorCarriesLoaderReason )
{
	const std::string message = LoadError( TextFile() );
	// The loader's own words follow the file name.
	EXPECT_NE( message.find( "notes.so: " ), std::string::npos ) << message;
	EXPECT_GT( message.size(), std::string( "cannot load " ).size() + TextFile().size() + 2 );
}

TEST( Loading, ErrorIsARuntimeError )
{
	EXPECT_THROW( PluginLibrary( "/nonexistent.so" ), std::runtime_error );
}

TEST( Loading, LoadsAndUnloadsRepeatedly )
{
	for( int i = 0; i < 3; ++i )
	{
		PluginLibrary library( hosttest::Fixture( "MockPlugin" ) );
		EXPECT_EQ( library.Identity().id, "MOCK" );
		EXPECT_EQ( library.Initialise(), FF_SUCCESS );
	}
}

TEST( Loading, GlobalSymbolsOptionLoads )
{
	LoadOptions options;
	options.globalSymbols = true;
	PluginLibrary library( hosttest::Fixture( "MockPlugin" ), options );
	EXPECT_EQ( library.Identity().type, FF_EFFECT );
}
}// namespace
