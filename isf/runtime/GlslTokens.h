// A GLSL text cut into tokens that put back together give the text again, so
// rewrites can work on names and brackets without touching comments or
// moving a single line.
#pragma once

#include <string>
#include <vector>

namespace isf
{
struct Token
{
	enum Kind
	{
		Space,  // blanks, no newline
		Newline,
		Comment,// may hold newlines (block comments)
		Name,
		Number,
		Punct// one character
	};
	Kind kind;
	std::string text;

	bool Is( const char* punct ) const { return kind == Punct && text == punct; }
	bool Significant() const { return kind == Name || kind == Number || kind == Punct; }
};

std::vector< Token > Tokenize( const std::string& text );
std::string Join( const std::vector< Token >& tokens, size_t begin = 0, size_t end = std::string::npos );
// Next/previous significant token from `k` (exclusive), or npos / -1 as size_t max.
size_t NextSignificant( const std::vector< Token >& tokens, size_t k );
size_t PreviousSignificant( const std::vector< Token >& tokens, size_t k );
// Index of the bracket closing the one at `open`, or npos.
size_t Matching( const std::vector< Token >& tokens, size_t open );
}// namespace isf
