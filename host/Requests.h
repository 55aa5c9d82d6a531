// What each plugMain function code asks for, and which request the calling
// thread is in: a host that dies inside a plug-in can still say where.
#pragma once

#include <cstdint>

namespace plughost
{
// "process frame" for 17; null for reserved and unknown codes.
const char* RequestLabel( uint32_t code );

constexpr uint32_t kNoRequest = 0xFFFFFFFFu;
// The code of the plugMain call this thread is inside, or kNoRequest. Safe
// to read from a signal handler on the same thread.
uint32_t RequestInFlight();

// Marks a plugMain call for RequestInFlight while it lasts.
class RequestMark
{
public:
	explicit RequestMark( uint32_t code );
	~RequestMark();
	RequestMark( const RequestMark& )            = delete;
	RequestMark& operator=( const RequestMark& ) = delete;

private:
	uint32_t previous;
};
}// namespace plughost
