// Running the built tool and reading what it said.
#pragma once

#include <string>

namespace tooltest
{
struct Result
{
	int status = -1;
	std::string out;
	std::string err;
};

// Runs the tool with the given shell-quoted argument text in `directory`.
Result RunTool( const std::string& arguments, const std::string& directory = "." );
std::string Quote( const std::string& text );
std::string ScratchDir( const std::string& name );
std::string ClockPath();
bool ClockBuilt();
// Each line with runs of spaces collapsed to one and trailing spaces dropped.
std::string Normalised( const std::string& text );
}// namespace tooltest
