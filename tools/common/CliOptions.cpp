#include "CliOptions.h"

#include <Image.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace plughost::cli
{
namespace
{
}

std::string Lower( std::string text )
{
	std::transform( text.begin(), text.end(), text.begin(), []( unsigned char c ) { return static_cast< char >( std::tolower( c ) ); } );
	return text;
}

std::string Quoted( const std::string& text )
{
	return "\"" + text + "\"";
}

bool IsHelp( const std::string& arg )
{
	return arg == "--help" || arg == "-h";
}

bool TakeValue( const std::vector< std::string >& args, std::size_t& i, const std::string& name, std::string& value )
{
	const std::string& arg = args[ i ];
	if( arg == name )
	{
		if( i + 1 >= args.size() )
			throw UsageError( name + " needs a value" );
		value = args[ ++i ];
		return true;
	}
	if( arg.size() > name.size() && arg.compare( 0, name.size(), name ) == 0 && arg[ name.size() ] == '=' )
	{
		value = arg.substr( name.size() + 1 );
		return true;
	}
	return false;
}

bool ParseUnsigned( const std::string& text, uint32_t maximum, uint32_t& value )
{
	if( text.empty() || text.find_first_not_of( "0123456789" ) != std::string::npos || text.size() > 10 )
		return false;
	const unsigned long long parsed = std::strtoull( text.c_str(), nullptr, 10 );
	if( parsed > maximum )
		return false;
	value = static_cast< uint32_t >( parsed );
	return true;
}

std::pair< uint32_t, uint32_t > ParseSize( const std::string& text )
{
	const std::size_t x = text.find_first_of( "xX" );
	uint32_t width = 0, height = 0;
	if( x == std::string::npos || !ParseUnsigned( text.substr( 0, x ), plughost::kMaxImageSide, width ) ||
		!ParseUnsigned( text.substr( x + 1 ), plughost::kMaxImageSide, height ) || width == 0 || height == 0 )
		throw UsageError( "--size expects WIDTHxHEIGHT with each side from 1 to " + std::to_string( plughost::kMaxImageSide ) +
						  ", got \"" + text + "\"" );
	return { width, height };
}

Setting ParseSetting( const std::string& text )
{
	const std::size_t equals = text.find( '=' );
	if( equals == std::string::npos || equals == 0 )
		throw UsageError( "--set expects NAME=VALUE, got \"" + text + "\"" );
	return { text.substr( 0, equals ), text.substr( equals + 1 ) };
}

double ParsePositive( const std::string& option, const std::string& text )
{
	errno              = 0;
	char* end          = nullptr;
	const double value = std::strtod( text.c_str(), &end );
	if( text.empty() || end != text.c_str() + text.size() || errno != 0 || !std::isfinite( value ) || value <= 0.0 )
		throw UsageError( option + " expects a positive number, got \"" + text + "\"" );
	return value;
}

double ParseFrameRate( const std::string& text )
{
	const double fps = ParsePositive( "--fps", text );
	if( fps < 0.001 || fps > 1000.0 )
		throw UsageError( "--fps expects a rate from 0.001 to 1000, got \"" + text + "\"" );
	return fps;
}

void TakePlugin( const std::string& command, const std::string& arg, std::string& plugin )
{
	if( arg.size() > 1 && arg[ 0 ] == '-' )
		throw UsageError( "unknown option " + arg );
	if( !plugin.empty() )
		throw UsageError( command + " takes one plug-in, got a second: " + arg );
	plugin = arg;
}
}// namespace plughost::cli
