#include "Protocol.h"

#include <algorithm>
#include <sstream>

namespace plughost::validate
{
namespace
{
// Fields are separated by newlines, so none may hold one.
std::string OneLine( std::string text )
{
	for( char& c : text )
		if( c == '\n' || c == '\r' )
			c = ' ';
	return text;
}

std::vector< std::string > Lines( const std::string& text )
{
	std::vector< std::string > lines;
	std::istringstream stream( text );
	for( std::string line; std::getline( stream, line ); )
		lines.push_back( line );
	return lines;
}
}// namespace

std::string EncodeStep( const std::string& what )
{
	return "step\n" + OneLine( what );
}

std::string EncodeFact( const std::string& key, const std::string& value )
{
	return "fact\n" + OneLine( key ) + "\n" + OneLine( value );
}

std::string EncodeOutcome( const Outcome& outcome )
{
	std::string text = std::string( "outcome\n" ) + StatusName( outcome.status ) + "\n" + OneLine( outcome.message );
	for( const auto& detail : outcome.details )
		text += "\n" + OneLine( detail );
	return text;
}

Message Decode( const std::string& encoded )
{
	Message message;
	auto lines = Lines( encoded );
	lines.resize( std::max< std::size_t >( lines.size(), 3 ) );
	if( lines[ 0 ] == "step" )
	{
		message.kind = Message::Kind::Step;
		message.text = lines[ 1 ];
	}
	else if( lines[ 0 ] == "fact" )
	{
		message.kind  = Message::Kind::Fact;
		message.text  = lines[ 1 ];
		message.value = lines[ 2 ];
	}
	else if( lines[ 0 ] == "outcome" )
	{
		message.kind = Message::Kind::Outcome;
		// A status nobody sends is a child gone wrong.
		message.outcome.status = Status::Fail;
		for( Status status : { Status::Pass, Status::Warn, Status::Fail, Status::Skip } )
			if( lines[ 1 ] == StatusName( status ) )
				message.outcome.status = status;
		message.outcome.message = lines[ 2 ];
		message.outcome.details.assign( lines.begin() + 3, lines.end() );
	}
	return message;
}
}// namespace plughost::validate
