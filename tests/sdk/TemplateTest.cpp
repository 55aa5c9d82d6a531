// The template plug-in as an author builds it against the installed SDK
// (once with find_package, once with the pkg-config line), loaded through the
// installed host library.
#include <gtest/gtest.h>

#include <PlugHost.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using namespace plughost;

namespace
{
const std::vector< std::string > builds = { PLUGIN_FROM_CMAKE, PLUGIN_FROM_PKG_CONFIG };

std::set< std::string > ExportedSymbols( const std::string& path )
{
	std::set< std::string > names;
	FILE* pipe = popen( ( "nm -D --defined-only --format=just-symbols '" + path + "'" ).c_str(), "r" );
	if( pipe == nullptr )
		return names;
	char line[ 512 ];
	while( fgets( line, sizeof line, pipe ) )
		names.insert( std::string( line, std::strcspn( line, "@\n" ) ) );
	pclose( pipe );
	return names;
}

TEST( Template, ExportsOnlyTheEntryPoints )
{
	for( const std::string& path : builds )
		EXPECT_EQ( ExportedSymbols( path ), ( std::set< std::string >{ "plugMain", "SetLogCallback" } ) ) << path;
}

TEST( Template, DescribesItsParametersWithTheStartingText )
{
	for( const std::string& path : builds )
	{
		PluginLibrary library( path );
		ASSERT_EQ( library.Initialise(), FF_SUCCESS ) << path;
		EXPECT_EQ( std::tuple( library.Identity().id, library.Identity().type ), std::tuple( "MyPl", FF_SOURCE ) );
		auto params = library.DescribeAll();
		ASSERT_EQ( params.size(), 3u ) << path;
		EXPECT_EQ( std::tuple( params[ 0 ].name, params[ 0 ].type, params[ 0 ].defaultValue, params[ 0 ].minimum, params[ 0 ].maximum ),
				   std::tuple( "size", FF_TYPE_STANDARD, 0.5f, 0.1f, 1.0f ) );
		ASSERT_EQ( params[ 1 ].elements.size(), 3u );
		EXPECT_EQ( std::tuple( params[ 1 ].name, params[ 1 ].type, params[ 1 ].elements[ 2 ].name ), std::tuple( "shape", FF_TYPE_OPTION, "Diamond" ) );
		EXPECT_EQ( std::tuple( params[ 2 ].name, params[ 2 ].type, params[ 2 ].defaultText ), std::tuple( "colour", FF_TYPE_TEXT, "#FF8000" ) );
	}
}

TEST( Template, RendersTheShapeInTheTypedColour )
{
	GLContext context;
	RenderTarget target( 64, 64 );
	using Pixel = std::array< int, 4 >;
	const Pixel orange{ 255, 128, 0, 255 }, green{ 0, 255, 0, 255 }, clear{ 0, 0, 0, 0 };
	// At (45,45) the centred point is (0.21, 0.21): inside a square of side
	// 0.5, outside a disc of diameter 0.5.
	const struct { uint32_t param; float value; const char* text; uint32_t x, y; Pixel expected; } cases[] = {
		{ 0, 0.5f, nullptr, 32, 32, orange }, { 0, 0.5f, nullptr, 45, 45, clear }, { 0, 0.5f, nullptr, 0, 0, clear },
		{ 1, 1.0f, nullptr, 45, 45, orange }, { 2, 0.0f, "#00ff00", 32, 32, green } };
	for( const std::string& path : builds )
	{
		PluginLibrary library( path );
		for( const auto& c : cases )
		{
			Instance instance( library, 64, 64 );
			EXPECT_EQ( instance.GetText( 2 ), "#FF8000" );
			ASSERT_EQ( c.text ? instance.SetText( c.param, c.text ) : instance.SetFloat( c.param, c.value ), FF_SUCCESS );
			Image frame = RenderImage( instance, target );
			const uint8_t* p = frame.At( c.x, c.y );
			for( int i = 0; i < 4; ++i )
				EXPECT_NEAR( p[ i ], c.expected[ i ], 1 ) << path << " param " << c.param << " at " << c.x << "," << c.y;
		}
	}
}
}// namespace
