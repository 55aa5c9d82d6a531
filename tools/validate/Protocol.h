// What a check's child tells the parent over the channel: the step it is
// about to take, facts about the plug-in, and finally its outcome.
#pragma once

#include "Check.h"

#include <optional>
#include <string>
#include <vector>

namespace plughost::validate
{
struct Outcome
{
	Status status = Status::Pass;
	std::string message;
	std::vector< std::string > details;
};

std::string EncodeStep( const std::string& what );
std::string EncodeFact( const std::string& key, const std::string& value );
std::string EncodeOutcome( const Outcome& outcome );

struct Message
{
	enum class Kind { Step, Fact, Outcome, Unknown } kind = Kind::Unknown;
	std::string text;// the step, or the fact's key
	std::string value;// the fact's value
	Outcome outcome;
};
Message Decode( const std::string& message );
}// namespace plughost::validate
