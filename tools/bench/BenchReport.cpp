#include "BenchReport.h"

#include <algorithm>
#include <cstdio>

namespace plughost::cli
{
namespace
{
std::string Ms( double seconds, int decimals = 3 )
{
	char text[ 32 ];
	std::snprintf( text, sizeof text, "%.*f", decimals, seconds * 1e3 );
	return text;
}

std::string Column( const std::string& text, std::size_t width )
{
	return text.size() >= width ? text + " " : std::string( width - text.size(), ' ' ) + text;
}

std::string JsonSpread( const Spread& spread )
{
	return "{\"median\": " + Ms( spread.median, 4 ) + ", \"p10\": " + Ms( spread.p10, 4 ) + ", \"p90\": " + Ms( spread.p90, 4 ) + "}";
}
}// namespace

std::string JsonString( const std::string& text )
{
	std::string quoted = "\"";
	for( unsigned char c : text )
	{
		if( c == '"' || c == '\\' )
			quoted += std::string( "\\" ) + static_cast< char >( c );
		else if( c < 0x20 )
		{
			char escape[ 8 ];
			std::snprintf( escape, sizeof escape, "\\u%04x", c );
			quoted += escape;
		}
		else
			quoted += static_cast< char >( c );
	}
	return quoted + "\"";
}

void PrintTable( std::ostream& out, const BenchReport& report )
{
	out << report.name << " (" << report.type << ", " << report.plugin << ")";
	for( const auto& setting : report.settings )
		out << ( &setting == &report.settings.front() ? " with " : ", " ) << setting;
	out << "\n" << report.frames << " timed frames per size after " << report.warmup << " warm-up, each beside a trivial "
		<< "full-viewport pass; on " << report.renderer << "\n\n";
	const std::size_t widths[] = { 11, 13, 13, 14, 10, 10, 11, 14, 9 };
	const char* const heads[]  = { "size", "instantiate", "first frame", "frame median", "p10", "p90", "CPU/frame", "trivial pass", "ratio" };
	std::string line;
	for( int c = 0; c < 9; ++c )
		line += c == 0 ? std::string( heads[ c ] ) + std::string( widths[ c ] - 4, ' ' ) : Column( heads[ c ], widths[ c ] );
	out << line << "\n";
	for( const SizeResult& size : report.sizes )
	{
		std::string dims = std::to_string( size.width ) + "x" + std::to_string( size.height );
		dims.resize( std::max< std::size_t >( dims.size() + 1, widths[ 0 ] ), ' ' );
		char ratio[ 32 ];
		std::snprintf( ratio, sizeof ratio, "%.2fx", size.Ratio() );
		out << dims << Column( Ms( size.instantiate.median, 2 ), widths[ 1 ] ) << Column( Ms( size.firstFrame, 2 ), widths[ 2 ] )
			<< Column( Ms( size.wall.median ), widths[ 3 ] ) << Column( Ms( size.wall.p10 ), widths[ 4 ] )
			<< Column( Ms( size.wall.p90 ), widths[ 5 ] ) << Column( Ms( size.cpu.median ), widths[ 6 ] )
			<< Column( Ms( size.trivialWall.median ), widths[ 7 ] ) << Column( ratio, widths[ 8 ] ) << "\n";
	}
	out << "\nAll times in milliseconds; instantiation is the median of " << kInstantiations
		<< ", frame times are wall time from code 17 through glFinish,\nCPU/frame is the median of the calling thread's "
		<< "CPU time, ratio is the frame median over the trivial pass's median.\n";
}

void PrintJson( std::ostream& out, const BenchReport& report )
{
	out << "{\n  \"plugin\": " << JsonString( report.plugin ) << ",\n  \"name\": " << JsonString( report.name )
		<< ",\n  \"type\": " << JsonString( report.type ) << ",\n  \"renderer\": " << JsonString( report.renderer )
		<< ",\n  \"settings\": [";
	for( const auto& setting : report.settings )
		out << ( &setting == &report.settings.front() ? "" : ", " ) << JsonString( setting );
	out << "],\n  \"frames\": " << report.frames << ",\n  \"warmup\": " << report.warmup
		<< ",\n  \"unit\": \"ms\",\n  \"sizes\": [";
	for( const SizeResult& size : report.sizes )
	{
		char ratio[ 32 ];
		std::snprintf( ratio, sizeof ratio, "%.4f", size.Ratio() );
		out << ( &size == &report.sizes.front() ? "\n" : ",\n" ) << "    {\"width\": " << size.width << ", \"height\": " << size.height
			<< ",\n     \"instantiate\": " << JsonSpread( size.instantiate ) << ",\n     \"first_frame\": " << Ms( size.firstFrame, 4 )
			<< ",\n     \"wall\": " << JsonSpread( size.wall ) << ",\n     \"cpu\": " << JsonSpread( size.cpu )
			<< ",\n     \"trivial_wall\": " << JsonSpread( size.trivialWall ) << ",\n     \"trivial_cpu\": " << JsonSpread( size.trivialCpu )
			<< ",\n     \"ratio_to_trivial\": " << ratio << "}";
	}
	out << "\n  ]\n}\n";
}
}// namespace plughost::cli
