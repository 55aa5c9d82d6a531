// Captures messages a plug-in sends to the host log. The plug-in accepts only
// a plain function pointer with no context argument, so each loaded library
// borrows one of a fixed set of trampolines, each bound to one store.
#pragma once

#include <ffgl/FFGL.h>

#include <memory>
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

// One log per loaded image: dlopen hands every opener of a file the same
// image, which holds a single callback, so all of them share one store.
class SharedLog
{
public:
	// Joins the log of `handle` or creates it and installs its callback.
	static std::shared_ptr< SharedLog > For( void* handle, FF_SetLogCallback_FuncPtr install );
	// The last user switches the plug-in's logging off again.
	~SharedLog();
	SharedLog( const SharedLog& )            = delete;
	SharedLog& operator=( const SharedLog& ) = delete;

	LogStore& Store() { return store; }
	bool Capturing() const { return slot.Callback() != nullptr; }

private:
	SharedLog( void* handle, FF_SetLogCallback_FuncPtr install );

	void* handle;
	FF_SetLogCallback_FuncPtr install;
	LogStore store;
	LogSlot slot{ store };
};
}// namespace plughost
