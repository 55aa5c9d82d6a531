// Loading, queries and log capture, against the SDK-built test plug-in.
#include "TestSupport.h"

#include <PlugHost.h>

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

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
		{ "/nonexistent/dir/Plugin.so", "no such file: /nonexistent/dir/Plugin.so" }, { "", "no such file" },
		{ "/tmp", "it is a directory" }, { text, "cannot load " + text + ": " },// then the loader's own reason
		{ "libc.so.6", "no such file: libc.so.6" },                             // never searched on the system path
		{ Fixture( "NotAPlugin" ), "is not an FFGL plug-in: it has no plugMain" },
		{ Fixture( "InfoNull" ), "answered failure to the identity request" },
		{ Fixture( "InfoWidened" ), "answered failure to the identity request" } };
	for( const auto& [ path, expected ] : cases )
	{
		const std::string message = testsupport::ErrorOf( [ &, path = path ] { PluginLibrary library( path ); } );
		EXPECT_TRUE( message.find( expected ) != std::string::npos && ( path.empty() || message.back() != ' ' ) ) << message;
	}
}

TEST( Loading, LogIsSharedByEveryOpenerOfTheFile )
{
	PluginLibrary library( kProbe );
	ASSERT_TRUE( library.CapturingLog() && library.Log().empty() );
	{
		PluginLibrary second( kProbe );
		ASSERT_EQ( second.Initialise(), FF_SUCCESS );
		EXPECT_EQ( library.Log(), std::vector< std::string >{ "initialise hook" } );
	}
	// The second one unloading must leave the first one's capture working.
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_EQ( library.Log(), ( std::vector< std::string >{ "initialise hook", "destroyed", "de-initialise hook", "initialise hook" } ) );
	library.ClearLog();
	EXPECT_TRUE( library.Log().empty() );
}

// Failed answers become empty; a capacity shorter than the text cuts it
// without reading past the buffer.
TEST( Queries, FailedAnswersBecomeEmpty )
{
	PluginLibrary library( kProbe );
	EXPECT_FALSE( library.ParameterName( 99 ) || library.ParameterType( 99 ) || library.ParameterDefault( 99 ) || library.ElementName( 2, 3 ) ||
				  library.ElementValue( 2, 3 ) || library.Visible( 99 ) || QueryText( library, FF_GET_PARAM_GROUP, 2, nullptr, 0 ) );
	EXPECT_THROW( library.Describe( 99 ), Error );
	EXPECT_EQ( QueryText( library, FF_GET_PARAM_GROUP, 2, nullptr, 3 ).value_or( "?" ), "Gro" );
	EXPECT_EQ( MixedU( 7 ).PointerValue, reinterpret_cast< void* >( 7 ) ) << "upper bytes must be zero";
	EXPECT_THROW( RenderTarget( 0, 10 ), Error );
	EXPECT_EQ( ParameterTypeName( 77 ), "unknown (77)" );
}
}// namespace
