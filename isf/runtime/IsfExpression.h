// Pass sizes: WIDTH and HEIGHT expressions over $WIDTH, $HEIGHT and the
// inputs' current values, evaluated with muparser.
#pragma once

#include <map>
#include <string>

namespace isf
{
// Throws isf::Error naming the expression when it does not parse or has no
// finite value. Variables are written without the `$`.
double Evaluate( const std::string& expression, const std::map< std::string, double >& variables );

// A target size from an expression's value: truncated as GL would, at
// least 1 and at most `limit`.
int PixelCount( double value, int limit );
}// namespace isf
