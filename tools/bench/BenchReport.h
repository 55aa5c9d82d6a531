// How `plughost bench` prints its results: a table or JSON.
#pragma once

#include "BenchMeasure.h"

#include <ostream>
#include <string>
#include <vector>

namespace plughost::cli
{
struct BenchReport
{
	std::string plugin;// the file
	std::string name;
	std::string type;
	std::string renderer;
	std::vector< std::string > settings;// NAME=VALUE as given
	uint32_t frames = 0, warmup = 0;
	std::vector< SizeResult > sizes;
};

void PrintTable( std::ostream& out, const BenchReport& report );
void PrintJson( std::ostream& out, const BenchReport& report );

// A JSON string literal with quotes and escapes.
std::string JsonString( const std::string& text );
}// namespace plughost::cli
