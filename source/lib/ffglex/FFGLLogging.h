// Toolkit diagnostics: one line per message on standard output. They never
// reach the host's log; that channel is FFGLLog::LogToHost.
#pragma once

#include <cstddef>
#include <sstream>
#include <string>
#include <utility>

namespace ffglex
{
// Writes the message and a newline to standard output.
void Log( const std::string& message );
// As above; a null text is written as an empty line.
void Log( const char* message );

// Streams each value in turn, without separators.
class VariadicMessageBuilder
{
public:
	static void Build( std::ostringstream& ) {}
	template< typename First, typename... Rest >
	static void Build( std::ostringstream& stream, First&& first, Rest&&... rest )
	{
		Put( stream, std::forward< First >( first ) );
		Build( stream, std::forward< Rest >( rest )... );
	}

private:
	template< typename Value >
	static void Put( std::ostringstream& stream, Value&& value )
	{
		stream << std::forward< Value >( value );
	}
	// A null text would put the stream in a failed state and silence the
	// rest of the message.
	static void Put( std::ostringstream& stream, const char* text )
	{
		if( text != nullptr )
			stream << text;
	}
	static void Put( std::ostringstream& stream, char* text )
	{
		Put( stream, static_cast< const char* >( text ) );
	}
	static void Put( std::ostringstream&, std::nullptr_t ) {}
};

// Concatenates any number of streamable values into one line, so Log( 42 ),
// Log( 2.5 ) and Log( "n=", 0 ) print 42, 2.5 and n=0. A literal 0 is the
// number, not a null text: this template matches it exactly.
template< typename... Values >
void Log( Values&&... values )
{
	std::ostringstream stream;
	VariadicMessageBuilder::Build( stream, std::forward< Values >( values )... );
	const std::string line = stream.str();
	Log( line );// an exact tie: the non-template writer is chosen
}
}// namespace ffglex
