// Toolkit diagnostics: one line per message on standard output. They never
// reach the host's log; that channel is FFGLLog::LogToHost.
#pragma once

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
	template< typename First, typename... Rest >
	static void Build( std::ostringstream& stream, First&& first, Rest&&... rest )
	{
		Put( stream, std::forward< First >( first ) );
		if constexpr( sizeof...( rest ) > 0 )
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
};

// Concatenates any number of streamable values into one message.
template< typename First, typename Second, typename... Rest >
void Log( First&& first, Second&& second, Rest&&... rest )
{
	std::ostringstream stream;
	VariadicMessageBuilder::Build( stream, std::forward< First >( first ), std::forward< Second >( second ),
	                               std::forward< Rest >( rest )... );
	Log( stream.str() );
}
}// namespace ffglex
