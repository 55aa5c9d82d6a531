// Small checks for the host tests, independent of the bridge and of the
// hosts:
//   frame_check compare A B [--size WxH] [--frame-a K] [--frame-b K] [--tolerance N]
//       compares two RGBA8 pictures (PNG files, or raw frames of WxH when the
//       name does not end in .png; K picks the frame in a raw file of several);
//       exit 0 when no byte differs by more than N (default 0), 1 otherwise.
//   frame_check stats FILE [--size WxH] [--frame K]
//       prints the minimum, maximum and mean of each channel.
//   frame_check params MODULE.so [--set I=V]...
//       loads a frei0r module as a host does and prints its identity, each
//       parameter (index, type, name) and the value a new 64x48 instance
//       reports after the --set values.
#include <Png.h>

#include <frei0r.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
struct Picture
{
	unsigned width = 0, height = 0;
	std::vector< unsigned char > pixels;
};

struct Options
{
	std::vector< std::string > positional;
	std::map< std::string, std::string > named;
	std::vector< std::string > sets;
};

Options Parse( int argc, char** argv )
{
	Options options;
	for( int i = 2; i < argc; ++i )
	{
		std::string arg = argv[ i ];
		if( arg.rfind( "--", 0 ) != 0 )
		{
			options.positional.push_back( arg );
			continue;
		}
		if( i + 1 >= argc )
			throw std::runtime_error( arg + " needs a value" );
		if( arg == "--set" )
			options.sets.push_back( argv[ ++i ] );
		else
			options.named[ arg ] = argv[ ++i ];
	}
	return options;
}

void ParseSize( const std::string& text, unsigned& width, unsigned& height )
{
	if( std::sscanf( text.c_str(), "%ux%u", &width, &height ) != 2 || width == 0 || height == 0 || width > 8192 || height > 8192 )
		throw std::runtime_error( "bad size '" + text + "'" );
}

bool EndsWith( const std::string& text, const std::string& tail )
{
	return text.size() >= tail.size() && text.compare( text.size() - tail.size(), tail.size(), tail ) == 0;
}

Picture Load( const std::string& path, const Options& options, const std::string& frameOption )
{
	Picture picture;
	if( EndsWith( path, ".png" ) )
	{
		plughost::Image image = plughost::ReadPng( path );
		picture.width         = image.width;
		picture.height        = image.height;
		picture.pixels        = std::move( image.pixels );
		return picture;
	}
	auto size = options.named.find( "--size" );
	if( size == options.named.end() )
		throw std::runtime_error( path + " is raw RGBA: give --size" );
	ParseSize( size->second, picture.width, picture.height );
	auto frameText       = options.named.find( frameOption );
	unsigned long frame  = frameText == options.named.end() ? 0 : std::stoul( frameText->second );
	std::size_t bytes    = std::size_t( picture.width ) * picture.height * 4;
	std::ifstream stream( path, std::ios::binary );
	if( !stream )
		throw std::runtime_error( "cannot open " + path );
	stream.seekg( 0, std::ios::end );
	std::size_t fileSize = static_cast< std::size_t >( stream.tellg() );
	if( fileSize < ( frame + 1 ) * bytes )
		throw std::runtime_error( path + " holds " + std::to_string( fileSize / bytes ) + " whole frames, not frame " + std::to_string( frame ) );
	stream.seekg( static_cast< std::streamoff >( frame * bytes ) );
	picture.pixels.resize( bytes );
	stream.read( reinterpret_cast< char* >( picture.pixels.data() ), static_cast< std::streamsize >( bytes ) );
	return picture;
}

int Compare( const Options& options )
{
	if( options.positional.size() != 2 )
		throw std::runtime_error( "compare takes two pictures" );
	Picture a = Load( options.positional[ 0 ], options, "--frame-a" );
	Picture b = Load( options.positional[ 1 ], options, "--frame-b" );
	if( a.width != b.width || a.height != b.height )
	{
		std::printf( "sizes differ: %ux%u and %ux%u\n", a.width, a.height, b.width, b.height );
		return 1;
	}
	auto toleranceText = options.named.find( "--tolerance" );
	int tolerance      = toleranceText == options.named.end() ? 0 : std::stoi( toleranceText->second );
	int worst          = 0;
	std::size_t worstAt = 0, over = 0;
	for( std::size_t i = 0; i < a.pixels.size(); ++i )
	{
		int difference = std::abs( int( a.pixels[ i ] ) - int( b.pixels[ i ] ) );
		if( difference > tolerance )
			++over;
		if( difference > worst )
		{
			worst   = difference;
			worstAt = i;
		}
	}
	std::size_t pixel = worstAt / 4;
	std::printf( "largest difference %d (channel %zu at %zu,%zu: %d vs %d); %zu bytes beyond %d\n", worst, worstAt % 4,
	             pixel % a.width, pixel / a.width, int( a.pixels[ worstAt ] ), int( b.pixels[ worstAt ] ), over, tolerance );
	return over == 0 ? 0 : 1;
}

int Stats( const Options& options )
{
	if( options.positional.size() != 1 )
		throw std::runtime_error( "stats takes one picture" );
	Picture picture = Load( options.positional[ 0 ], options, "--frame" );
	int low[ 4 ] = { 255, 255, 255, 255 }, high[ 4 ] = { 0, 0, 0, 0 };
	double sum[ 4 ] = { 0, 0, 0, 0 };
	for( std::size_t i = 0; i < picture.pixels.size(); ++i )
	{
		int value     = picture.pixels[ i ];
		low[ i % 4 ]  = std::min( low[ i % 4 ], value );
		high[ i % 4 ] = std::max( high[ i % 4 ], value );
		sum[ i % 4 ] += value;
	}
	double count = double( picture.pixels.size() / 4 );
	std::printf( "min %d %d %d %d\nmax %d %d %d %d\nmean %.2f %.2f %.2f %.2f\n", low[ 0 ], low[ 1 ], low[ 2 ], low[ 3 ], high[ 0 ],
	             high[ 1 ], high[ 2 ], high[ 3 ], sum[ 0 ] / count, sum[ 1 ] / count, sum[ 2 ] / count, sum[ 3 ] / count );
	return 0;
}

template< typename T >
T Symbol( void* library, const char* name )
{
	void* address = dlsym( library, name );
	if( address == nullptr )
		throw std::runtime_error( std::string( "the module does not export " ) + name );
	return reinterpret_cast< T >( address );
}

const char* TypeName( int type )
{
	switch( type )
	{
	case F0R_PARAM_BOOL: return "bool";
	case F0R_PARAM_DOUBLE: return "double";
	case F0R_PARAM_COLOR: return "color";
	case F0R_PARAM_POSITION: return "position";
	case F0R_PARAM_STRING: return "string";
	default: return "unknown";
	}
}

int Params( const Options& options )
{
	if( options.positional.size() != 1 )
		throw std::runtime_error( "params takes one module" );
	void* library = dlopen( options.positional[ 0 ].c_str(), RTLD_NOW | RTLD_LOCAL );
	if( library == nullptr )
		throw std::runtime_error( dlerror() );
	auto init       = Symbol< int ( * )() >( library, "f0r_init" );
	auto deinit     = Symbol< void ( * )() >( library, "f0r_deinit" );
	auto pluginInfo = Symbol< void ( * )( f0r_plugin_info_t* ) >( library, "f0r_get_plugin_info" );
	auto paramInfo  = Symbol< void ( * )( f0r_param_info_t*, int ) >( library, "f0r_get_param_info" );
	auto construct  = Symbol< f0r_instance_t ( * )( unsigned, unsigned ) >( library, "f0r_construct" );
	auto destruct   = Symbol< void ( * )( f0r_instance_t ) >( library, "f0r_destruct" );
	auto setValue   = Symbol< void ( * )( f0r_instance_t, f0r_param_t, int ) >( library, "f0r_set_param_value" );
	auto getValue   = Symbol< void ( * )( f0r_instance_t, f0r_param_t, int ) >( library, "f0r_get_param_value" );
	if( init() == 0 )
		throw std::runtime_error( "f0r_init failed" );
	f0r_plugin_info_t info{};
	pluginInfo( &info );
	std::printf( "name\t%s\ntype\t%d\ncolor_model\t%d\nfrei0r_version\t%d\nparams\t%d\n", info.name ? info.name : "(null)",
	             info.plugin_type, info.color_model, info.frei0r_version, info.num_params );
	std::vector< int > types;
	for( int i = 0; i < info.num_params; ++i )
	{
		f0r_param_info_t param{};
		paramInfo( &param, i );
		types.push_back( param.type );
	}
	f0r_instance_t instance = construct( 64, 48 );
	if( instance == nullptr )
		throw std::runtime_error( "f0r_construct(64, 48) returned null" );
	for( const std::string& set : options.sets )
	{
		std::size_t equals = set.find( '=' );
		int index          = std::stoi( set.substr( 0, equals ) );
		if( equals == std::string::npos || index < 0 || index >= info.num_params )
			throw std::runtime_error( "bad --set " + set );
		std::string text = set.substr( equals + 1 );
		if( types[ index ] == F0R_PARAM_STRING )
		{
			const char* value = text.c_str();
			setValue( instance, &value, index );
		}
		else
		{
			double value = std::stod( text );
			setValue( instance, &value, index );
		}
	}
	for( int i = 0; i < info.num_params; ++i )
	{
		f0r_param_info_t param{};
		paramInfo( &param, i );
		std::printf( "%d\t%s\t%s\t", i, TypeName( param.type ), param.name ? param.name : "(null)" );
		if( param.type == F0R_PARAM_STRING )
		{
			char* value = nullptr;
			getValue( instance, &value, i );
			std::printf( "%s\n", value ? value : "(null)" );
		}
		else if( param.type == F0R_PARAM_BOOL || param.type == F0R_PARAM_DOUBLE )
		{
			double value = -1;
			getValue( instance, &value, i );
			std::printf( "%.6f\n", value );
		}
		else
			std::printf( "-\n" );
	}
	destruct( instance );
	deinit();
	return 0;
}
}// namespace

int main( int argc, char** argv )
{
	if( argc < 2 )
	{
		std::fprintf( stderr, "usage: frame_check compare|stats|params ...\n" );
		return 2;
	}
	try
	{
		Options options = Parse( argc, argv );
		std::string command = argv[ 1 ];
		if( command == "compare" )
			return Compare( options );
		if( command == "stats" )
			return Stats( options );
		if( command == "params" )
			return Params( options );
		throw std::runtime_error( "unknown command " + command );
	}
	catch( const std::exception& error )
	{
		std::fprintf( stderr, "frame_check: %s\n", error.what() );
		return 2;
	}
}
