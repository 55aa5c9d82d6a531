// Runs the built validator as a program and reads its text report.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace validatetest
{
struct ToolRun
{
	int status = -1;
	std::string out, err;
	std::map< std::string, std::string > failed;// check id -> message
	std::set< std::string > warned;
};

// `plughost validate` with these arguments.
ToolRun Validate( const std::vector< std::string >& arguments );

std::string Planted( const std::string& name );// a test plug-in with a planted fault
bool Contains( const std::string& text, const std::string& piece );

struct Case
{
	std::string plugin;
	std::set< std::string > failing;// exactly these checks FAIL
	std::string says;               // in each FAIL line
	std::vector< std::string > extra = {};
	std::set< std::string > warned  = {};// among the WARN lines
};

// Validates at level 1 with a fixed seed and checks the outcome: exactly
// the expected checks fail, each saying what it should, and the exit status
// follows.
void Expect( const Case& c );
}// namespace validatetest
