#include "IsfTestSupport.h"

#include <IsfBundle.h>

#include <TestSupport.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace isftest
{
std::string MakePlugin( const std::string& stem, const std::string& fragment, const std::map< std::string, std::string >& extra )
{
	static int counter = 0;
	static const std::string dir = testsupport::ScratchDir( "isf" );
	const std::string base = dir + "/" + stem;
	std::ofstream( base + ".fs", std::ios::binary ) << fragment;
	for( const auto& [ name, bytes ] : extra )
		std::ofstream( dir + "/" + name, std::ios::binary ) << bytes;
	const isf::Bundle bundle = isf::LoadIsfFiles( base + ".fs" );
	std::ifstream shell( ISF_SHELL, std::ios::binary );
	std::string library( ( std::istreambuf_iterator< char >( shell ) ), {} );
	library.resize( isf::LibrarySize( ISF_SHELL ) );
	const auto payload = isf::Serialize( bundle );
	const std::string path = base + "-" + std::to_string( ++counter ) + ".so";
	std::ofstream out( path, std::ios::binary );
	out << library;
	out.write( reinterpret_cast< const char* >( payload.data() ), static_cast< std::streamsize >( payload.size() ) );
	return path;
}

plughost::Image Frame( plughost::Instance& instance, const plughost::RenderTarget& target,
					   const std::vector< const plughost::InputTexture* >& inputs )
{
	return plughost::RenderImage( instance, target, inputs );
}

int IndexOf( const plughost::PluginLibrary& library, const std::string& name )
{
	for( uint32_t k = 0; k < library.ParameterCount(); ++k )
		if( library.ParameterName( k ) == name )
			return static_cast< int >( k );
	return -1;
}

bool Near( const uint8_t* pixel, std::array< float, 4 > expected, int tolerance )
{
	for( int c = 0; c < 4; ++c )
	{
		const float want = std::round( std::clamp( expected[ c ], 0.0f, 1.0f ) * 255.0f );
		if( std::fabs( pixel[ c ] - want ) > static_cast< float >( tolerance ) )
			return false;
	}
	return true;
}

std::string Show( const uint8_t* pixel )
{
	return "(" + std::to_string( pixel[ 0 ] ) + ", " + std::to_string( pixel[ 1 ] ) + ", " + std::to_string( pixel[ 2 ] ) + ", " +
		   std::to_string( pixel[ 3 ] ) + ")";
}
}// namespace isftest
