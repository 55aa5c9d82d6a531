// Finding a parameter named in a request and checking the value asked for,
// before anything reaches the plug-in.
#pragma once

#include "WorkerProtocol.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace plughost::cli::serve
{
// A request the API refuses: the HTTP status and a message for the caller.
// The message is kept whole: what() ends at a NUL, and a request may carry one.
class ApiError : public std::runtime_error
{
public:
	ApiError( int status, const std::string& message ) : std::runtime_error( message ), status( status ), message( message ) {}
	int status;
	std::string message;
};

// Longest text a text or file parameter takes.
constexpr std::size_t kMaxText = 4096;

// By index (digits only) or by name, exact or a unique case-insensitive
// match. Throws ApiError 404 listing what exists.
const ParameterState& FindParameter( const std::vector< ParameterState >& parameters, const std::string& id );

struct NewValue
{
	bool isText  = false;
	float number = 0.0f;
	std::string text;
};

// What a request's "value" means for `parameter`: a number within the
// range (whole for integers), true or false for booleans and events, an
// element's name or value for options, a text for text and file parameters.
// Throws ApiError 400 (413 for a text over kMaxText) saying what is valid.
NewValue ResolveValue( const ParameterState& parameter, const Json& value );
}// namespace plughost::cli::serve
