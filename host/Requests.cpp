#include "Requests.h"

#include <iterator>

namespace plughost
{
namespace
{
// The label of each code from 0 to 51; null for the reserved ones.
const char* const kLabels[] = {
	"get info", nullptr, "de-initialise", nullptr, "get parameter count", "get parameter name", "get parameter default",
	"get parameter display", "set parameter", "get parameter", "get plug-in capability", nullptr, nullptr, "get extended info",
	nullptr, "get parameter type", "get input status", "process frame", "instantiate", "de-instantiate", "set time", "connect",
	"disconnect", "resize", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "get element count",
	"get parameter usage", "get short name", "initialise", "get element name", "get element value", "set element value",
	"set beat info", "set host info", "set sample rate", "get parameter range", "get thumbnail", "get file extension count",
	"get file extension", "get parameter visibility", "get parameter events", "get separator count",
	"get separator element index", "enable plug-in capability", "get parameter group", "get parameter display name",
};

thread_local uint32_t inFlight = kNoRequest;
}// namespace

const char* RequestLabel( uint32_t code )
{
	return code < std::size( kLabels ) ? kLabels[ code ] : nullptr;
}

uint32_t RequestInFlight()
{
	return inFlight;
}

RequestMark::RequestMark( uint32_t code ) : previous( inFlight )
{
	inFlight = code;
}

RequestMark::~RequestMark()
{
	inFlight = previous;
}
}// namespace plughost
