#include "CrashNotice.h"

#include <Requests.h>

#include <csignal>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace plughost::cli
{
namespace
{
struct Fatal
{
	int signal;
	const char* name;
};
constexpr Fatal kFatal[] = { { SIGSEGV, "SIGSEGV" }, { SIGBUS, "SIGBUS" }, { SIGFPE, "SIGFPE" }, { SIGILL, "SIGILL" }, { SIGABRT, "SIGABRT" } };

// Only what is safe in a signal handler: no allocation, no locks, no stdio.
class Line
{
public:
	void Add( const char* text )
	{
		for( ; *text && length < sizeof text_ - 1; ++text )
			text_[ length++ ] = *text;
	}
	void Add( uint32_t number )
	{
		char digits[ 10 ];
		int count = 0;
		do
			digits[ count++ ] = static_cast< char >( '0' + number % 10 );
		while( ( number /= 10 ) != 0 );
		while( count > 0 && length < sizeof text_ - 1 )
			text_[ length++ ] = digits[ --count ];
	}
	void Write() const
	{
		const ssize_t written = write( STDERR_FILENO, text_, length );
		(void)written;
	}

private:
	char text_[ 256 ];
	std::size_t length = 0;
};

void OnFatal( int signal )
{
	const char* name = "a fatal signal";
	for( const Fatal& fatal : kFatal )
		if( fatal.signal == signal )
			name = fatal.name;
	Line line;
	const uint32_t code = RequestInFlight();
	if( code == kNoRequest )
	{
		line.Add( "plughost: crashed (" );
		line.Add( name );
		line.Add( ") outside any plug-in request\n" );
	}
	else
	{
		const char* label = RequestLabel( code );
		line.Add( "plughost: the plug-in crashed (" );
		line.Add( name );
		line.Add( ") during code " );
		line.Add( code );
		line.Add( " (" );
		line.Add( label ? label : "no such request" );
		line.Add( ")\n" );
	}
	line.Write();
	// The handler was reset on entry: die the way the signal would have.
	raise( signal );
}
}// namespace

void AnnouncePluginCrashes()
{
	static std::once_flag once;
	std::call_once( once, [] {
		// A stack overflow in the plug-in leaves no stack for the handler.
		static char alternate[ 64 * 1024 ];
		stack_t stack{};
		stack.ss_sp   = alternate;
		stack.ss_size = sizeof alternate;
		sigaltstack( &stack, nullptr );

		struct sigaction action{};
		action.sa_handler = OnFatal;
		action.sa_flags   = SA_RESETHAND | SA_ONSTACK;
		sigemptyset( &action.sa_mask );
		for( const Fatal& fatal : kFatal )
		{
			struct sigaction current{};
			if( sigaction( fatal.signal, nullptr, &current ) == 0 && current.sa_handler == SIG_DFL && !( current.sa_flags & SA_SIGINFO ) )
				sigaction( fatal.signal, &action, nullptr );
		}
	} );
}
}// namespace plughost::cli
