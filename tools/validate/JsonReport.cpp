#include "Report.h"

#include <cstdio>
#include <sstream>

namespace plughost::validate
{
std::string ValidUtf8( const std::string& text )
{
	std::string valid;
	for( std::size_t i = 0; i < text.size(); )
	{
		const auto lead = static_cast< unsigned char >( text[ i ] );
		const std::size_t length = lead < 0x80 ? 1 : ( lead >> 5 ) == 0x6 ? 2 : ( lead >> 4 ) == 0xE ? 3 : ( lead >> 3 ) == 0x1E ? 4 : 0;
		bool good = length > 0 && i + length <= text.size() && !( length == 2 && lead < 0xC2 );
		for( std::size_t k = 1; good && k < length; ++k )
			good = ( static_cast< unsigned char >( text[ i + k ] ) & 0xC0 ) == 0x80;
		if( good )
			valid.append( text, i, length );
		else
			valid += '?';
		i += good ? length : 1;
	}
	return valid;
}

std::string JsonEscape( const std::string& text )
{
	std::string escaped;
	for( unsigned char c : ValidUtf8( text ) )
	{
		if( c == '"' || c == '\\' )
			escaped += { '\\', char( c ) };
		else if( c < 0x20 || c == 0x7F )
		{
			char code[ 8 ];
			std::snprintf( code, sizeof code, "\\u%04x", c );
			escaped += code;
		}
		else
			escaped += char( c );
	}
	return escaped;
}

namespace
{
std::string Quoted( const std::string& text )
{
	return "\"" + JsonEscape( text ) + "\"";
}

std::string CountsJson( const Counts& counts )
{
	return "{\"passed\": " + std::to_string( counts.passed ) + ", \"warnings\": " + std::to_string( counts.warnings ) +
		   ", \"failed\": " + std::to_string( counts.failed ) + ", \"skipped\": " + std::to_string( counts.skipped ) + "}";
}
}// namespace

std::string JsonReport( const RunInfo& run )
{
	std::ostringstream out;
	Counts total;
	out << "{\n  \"level\": " << run.level << ",\n  \"seed\": " << run.seed << ",\n  \"plugins\": [";
	for( std::size_t p = 0; p < run.plugins.size(); ++p )
	{
		const PluginResult& plugin = run.plugins[ p ];
		total.Add( plugin.Count() );
		out << ( p ? "," : "" ) << "\n    {\n      \"path\": " << Quoted( plugin.path ) << ",";
		for( const auto& [ key, value ] : plugin.facts )
			out << "\n      " << Quoted( key ) << ": " << Quoted( value ) << ",";
		out << "\n      \"summary\": " << CountsJson( plugin.Count() ) << ",\n      \"checks\": [";
		for( std::size_t c = 0; c < plugin.results.size(); ++c )
		{
			const CheckResult& result = plugin.results[ c ];
			char seconds[ 32 ];
			std::snprintf( seconds, sizeof seconds, "%.3f", result.seconds );
			out << ( c ? "," : "" ) << "\n        {\"id\": " << Quoted( result.check->Id() ) << ", \"group\": "
				<< Quoted( result.check->group ) << ", \"status\": " << Quoted( StatusName( result.status ) )
				<< ", \"message\": " << Quoted( result.message ) << ", \"seconds\": " << seconds << ", \"details\": [";
			for( std::size_t d = 0; d < result.details.size(); ++d )
				out << ( d ? ", " : "" ) << Quoted( result.details[ d ] );
			out << "]}";
		}
		out << "\n      ]\n    }";
	}
	out << "\n  ],\n  \"summary\": " << CountsJson( total ) << "\n}\n";
	return out.str();
}
}// namespace plughost::validate
