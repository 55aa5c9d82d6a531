// Captures messages a plug-in sends to the host log. The plug-in accepts only
// a plain function pointer with no context argument, so each loaded library
// borrows one of a fixed set of trampolines, each bound to one store.
#pragma once

#include <ffgl/FFGL.h>

#include <mutex>
#include <string>
#include <vector>

namespace plughost
{
class LogStore
{
public:
	void Append( const char* message );
	std::vector< std::string > Messages() const;
	void Clear();

private:
	mutable std::mutex mutex;
	std::vector< std::string > messages;
};

// Holds one trampoline for its lifetime. Callback() is null when every
// trampoline is taken; the library then simply runs without log capture.
class LogSlot
{
public:
	explicit LogSlot( LogStore& store );
	~LogSlot();
	LogSlot( const LogSlot& )            = delete;
	LogSlot& operator=( const LogSlot& ) = delete;

	FFGLLogCallback Callback() const;

	static constexpr int kSlotCount = 32;

private:
	int slot = -1;
};
}// namespace plughost
