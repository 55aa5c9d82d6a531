// The one exception type of the host library: every load, query or GL set-up
// failure that the caller cannot sensibly ignore is raised as this.
#pragma once

#include <stdexcept>
#include <string>

namespace plughost
{
class Error : public std::runtime_error
{
public:
	explicit Error( const std::string& message ) : std::runtime_error( message ) {}
};
}// namespace plughost
