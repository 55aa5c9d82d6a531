#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

extern char** environ;

namespace plughost
{
namespace
{
constexpr uint32_t kMaxMessage = 64u << 20;
constexpr int kEscapedException = 70;

double Now()
{
	timespec now{};
	clock_gettime( CLOCK_MONOTONIC, &now );
	return static_cast< double >( now.tv_sec ) + static_cast< double >( now.tv_nsec ) * 1e-9;
}

int PollMilliseconds( double seconds )
{
	if( seconds < 0.0 )
		return -1;
	return static_cast< int >( std::ceil( std::fmin( seconds, 3600.0 ) * 1000.0 ) );
}

// Descriptors 0 to 2 are about to be replaced in the child; keep ours above.
int Lift( int fd )
{
	if( fd < 0 || fd > 2 )
		return fd;
	const int lifted = fcntl( fd, F_DUPFD_CLOEXEC, 3 );
	close( fd );
	return lifted;
}

bool WriteAll( int fd, const char* data, std::size_t size )
{
	while( size > 0 )
	{
		const ssize_t written = send( fd, data, size, MSG_NOSIGNAL );
		if( written < 0 && errno == EINTR )
			continue;
		if( written <= 0 )
			return false;
		data += written;
		size -= static_cast< std::size_t >( written );
	}
	return true;
}

bool ReadAll( int fd, char* data, std::size_t size )
{
	while( size > 0 )
	{
		const ssize_t got = read( fd, data, size );
		if( got < 0 && errno == EINTR )
			continue;
		if( got <= 0 )
			return false;
		data += got;
		size -= static_cast< std::size_t >( got );
	}
	return true;
}

std::string Frame( std::string_view message )
{
	const auto size = static_cast< uint32_t >( message.size() );
	std::string framed( 4, '\0' );
	for( int i = 0; i < 4; ++i )
		framed[ i ] = static_cast< char >( ( size >> ( 8 * i ) ) & 0xFF );
	framed.append( message.data(), message.size() );
	return framed;
}

uint32_t FrameLength( const char* header )
{
	uint32_t size = 0;
	for( int i = 0; i < 4; ++i )
		size |= static_cast< uint32_t >( static_cast< unsigned char >( header[ i ] ) ) << ( 8 * i );
	return size;
}

// Everything the child does between fork and its own code: async-signal-safe
// calls only, since the parent may have other threads.
void BecomeChild( pid_t parent, int outFd, int errFd, bool coreDumps )
{
	prctl( PR_SET_PDEATHSIG, SIGKILL );
	if( getppid() != parent )
		_exit( 1 );
	const int null = open( "/dev/null", O_RDONLY );
	if( null >= 0 )
	{
		dup2( null, 0 );
		if( null != 0 )
			close( null );
	}
	dup2( outFd, 1 );
	dup2( errFd, 2 );
	if( !coreDumps )
	{
		rlimit none{ 0, 0 };
		setrlimit( RLIMIT_CORE, &none );
	}
	signal( SIGPIPE, SIG_DFL );
}

struct Pipes
{
	int out[ 2 ]   = { -1, -1 };
	int err[ 2 ]   = { -1, -1 };
	int chan[ 2 ]  = { -1, -1 };
	bool Open()
	{
		if( pipe2( out, O_CLOEXEC ) != 0 || pipe2( err, O_CLOEXEC ) != 0 ||
			socketpair( AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, chan ) != 0 )
			return false;
		for( int* fd : { &out[ 0 ], &out[ 1 ], &err[ 0 ], &err[ 1 ], &chan[ 0 ], &chan[ 1 ] } )
			*fd = Lift( *fd );
		return true;
	}
	void CloseAll()
	{
		for( int fd : { out[ 0 ], out[ 1 ], err[ 0 ], err[ 1 ], chan[ 0 ], chan[ 1 ] } )
			if( fd >= 0 )
				close( fd );
	}
};
}// namespace

std::string SignalName( int signal )
{
	static const std::pair< int, const char* > names[] = {
		{ SIGHUP, "SIGHUP" },   { SIGINT, "SIGINT" },   { SIGQUIT, "SIGQUIT" }, { SIGILL, "SIGILL" },
		{ SIGTRAP, "SIGTRAP" }, { SIGABRT, "SIGABRT" }, { SIGBUS, "SIGBUS" },   { SIGFPE, "SIGFPE" },
		{ SIGKILL, "SIGKILL" }, { SIGUSR1, "SIGUSR1" }, { SIGSEGV, "SIGSEGV" }, { SIGUSR2, "SIGUSR2" },
		{ SIGPIPE, "SIGPIPE" }, { SIGALRM, "SIGALRM" }, { SIGTERM, "SIGTERM" }, { SIGCHLD, "SIGCHLD" },
		{ SIGSYS, "SIGSYS" },   { SIGXCPU, "SIGXCPU" }, { SIGXFSZ, "SIGXFSZ" },
	};
	for( const auto& [ number, name ] : names )
		if( number == signal )
			return name;
	return "signal " + std::to_string( signal );
}

std::string ChildExit::Describe() const
{
	char seconds_[ 32 ];
	switch( kind )
	{
	case Kind::Exited:
		return "exited with status " + std::to_string( status );
	case Kind::Signalled:
		return "killed by " + SignalName( signal ) + " (" + strsignal( signal ) + ")";
	case Kind::TimedOut:
		std::snprintf( seconds_, sizeof seconds_, "%g", seconds );
		return std::string( "timed out after " ) + seconds_ + " s and was killed";
	case Kind::NotStarted:
		break;
	}
	return "could not start: " + reason;
}

std::optional< ChildChannel > ChildChannel::FromEnvironment()
{
	const char* text = std::getenv( kEnvironmentName );
	if( text == nullptr || *text == '\0' )
		return std::nullopt;
	char* end     = nullptr;
	const long fd = std::strtol( text, &end, 10 );
	if( *end != '\0' || fd < 3 || fd > 65535 || fcntl( static_cast< int >( fd ), F_GETFD ) < 0 )
		return std::nullopt;
	fcntl( static_cast< int >( fd ), F_SETFD, FD_CLOEXEC );
	return ChildChannel( static_cast< int >( fd ) );
}

bool ChildChannel::Send( std::string_view message ) const
{
	if( fd < 0 || message.size() > kMaxMessage )
		return false;
	const std::string framed = Frame( message );
	return WriteAll( fd, framed.data(), framed.size() );
}

std::optional< std::string > ChildChannel::Receive( double timeoutSeconds ) const
{
	if( fd < 0 )
		return std::nullopt;
	pollfd wait{ fd, POLLIN, 0 };
	int ready = 0;
	do
		ready = poll( &wait, 1, PollMilliseconds( timeoutSeconds ) );
	while( ready < 0 && errno == EINTR );
	if( ready <= 0 )
		return std::nullopt;
	char header[ 4 ];
	if( !ReadAll( fd, header, 4 ) )
		return std::nullopt;
	const uint32_t size = FrameLength( header );
	if( size > kMaxMessage )
		return std::nullopt;
	std::string message( size, '\0' );
	if( !ReadAll( fd, message.data(), size ) )
		return std::nullopt;
	return message;
}

ChildProcess ChildProcess::Launch( ChildOptions options, const std::function< bool( int ) >& prepare,
								   const std::function< void( int ) >& inChild )
{
	ChildProcess child;
	child.options = options;
	child.started = Now();
	child.ended   = true;// until there is a child
	Pipes pipes;
	if( !pipes.Open() || !prepare( pipes.chan[ 1 ] ) )
	{
		child.exit.reason = std::string( "cannot make pipes: " ) + std::strerror( errno );
		pipes.CloseAll();
		return child;
	}
	// Buffered output would otherwise be written by parent and child alike.
	std::fflush( nullptr );
	const pid_t parent = getpid();
	const pid_t pid    = fork();
	if( pid == 0 )
	{
		BecomeChild( parent, pipes.out[ 1 ], pipes.err[ 1 ], options.coreDumps );
		for( int fd : { pipes.out[ 0 ], pipes.out[ 1 ], pipes.err[ 0 ], pipes.err[ 1 ], pipes.chan[ 0 ] } )
			close( fd );
		inChild( pipes.chan[ 1 ] );
		_exit( 127 );
	}
	if( pid < 0 )
	{
		child.exit.reason = std::string( "fork failed: " ) + std::strerror( errno );
		pipes.CloseAll();
		return child;
	}
	child.pid   = pid;
	child.ended = false;
	close( pipes.out[ 1 ] );
	close( pipes.err[ 1 ] );
	close( pipes.chan[ 1 ] );
	child.out.fd  = pipes.out[ 0 ];
	child.err.fd  = pipes.err[ 0 ];
	child.channel = pipes.chan[ 0 ];
	return child;
}

ChildProcess ChildProcess::Fork( const std::function< int( ChildChannel& ) >& work, ChildOptions options )
{
	return Launch( options, []( int ) { return true; }, [ & ]( int fd ) {
		// With a buffer of its own: switching a stream already in use to
		// line buffering without one is not honoured.
		static char lineBuffer[ BUFSIZ ];
		setvbuf( stdout, lineBuffer, _IOLBF, sizeof lineBuffer );
		ChildChannel channel( fd );
		int code = kEscapedException;
		try
		{
			code = work( channel );
		}
		catch( ... )
		{
			code = kEscapedException;
		}
		std::fflush( nullptr );
		_exit( code & 0xFF );
	} );
}

ChildProcess ChildProcess::Exec( const std::vector< std::string >& argv, const std::vector< std::string >& environment,
								 ChildOptions options )
{
	if( argv.empty() )
	{
		ChildProcess none;
		none.ended       = true;
		none.exit.reason = "no program given";
		return none;
	}
	// Everything the child needs is built before fork: it may not allocate.
	std::vector< std::string > entries, args = argv;
	for( char** entry = environ; entry != nullptr && *entry != nullptr; ++entry )
	{
		const std::string name = std::string( *entry ).substr( 0, std::strcspn( *entry, "=" ) ) + "=";
		bool replaced = name == std::string( ChildChannel::kEnvironmentName ) + "=";
		for( const auto& added : environment )
			replaced = replaced || added.compare( 0, name.size(), name ) == 0;
		if( !replaced )
			entries.emplace_back( *entry );
	}
	entries.insert( entries.end(), environment.begin(), environment.end() );
	std::vector< char* > envp, args_;
	int status[ 2 ] = { -1, -1 };// carries errno when exec fails
	auto prepare = [ & ]( int channel ) {
		entries.push_back( std::string( ChildChannel::kEnvironmentName ) + "=" + std::to_string( channel ) );
		for( auto& entry : entries )
			envp.push_back( entry.data() );
		for( auto& arg : args )
			args_.push_back( arg.data() );
		envp.push_back( nullptr );
		args_.push_back( nullptr );
		if( pipe2( status, O_CLOEXEC ) != 0 )
			return false;
		status[ 0 ] = Lift( status[ 0 ] );
		status[ 1 ] = Lift( status[ 1 ] );
		return true;
	};
	ChildProcess child = Launch( options, prepare, [ & ]( int channel ) {
		fcntl( channel, F_SETFD, 0 );// the one descriptor the program inherits
		execve( args_[ 0 ], args_.data(), envp.data() );
		const int error = errno;
		ssize_t ignored = write( status[ 1 ], &error, sizeof error );
		(void)ignored;
	} );
	if( status[ 1 ] >= 0 )
		close( status[ 1 ] );
	if( status[ 0 ] < 0 )
		return child;
	int error   = 0;
	ssize_t got = 0;
	do
		got = read( status[ 0 ], &error, sizeof error );
	while( got < 0 && errno == EINTR );
	close( status[ 0 ] );
	if( got == static_cast< ssize_t >( sizeof error ) )
	{
		child.Reap( true );
		child.CloseAll();
		child.exit.kind   = ChildExit::Kind::NotStarted;
		child.exit.reason = "cannot run " + argv[ 0 ] + ": " + std::strerror( error );
	}
	return child;
}

ChildProcess::ChildProcess( ChildProcess&& other ) noexcept
{
	*this = std::move( other );
}

ChildProcess& ChildProcess::operator=( ChildProcess&& other ) noexcept
{
	if( this != &other )
	{
		Kill();
		CloseAll();
		pid      = std::exchange( other.pid, -1 );
		out      = std::exchange( other.out, Stream{} );
		err      = std::exchange( other.err, Stream{} );
		channel  = std::exchange( other.channel, -1 );
		pending  = std::move( other.pending );
		messages = std::move( other.messages );
		options  = other.options;
		started  = other.started;
		ended    = std::exchange( other.ended, true );
		exit     = other.exit;
	}
	return *this;
}

ChildProcess::~ChildProcess()
{
	Kill();
	CloseAll();
}

void ChildProcess::CloseAll()
{
	for( int* fd : { &out.fd, &err.fd, &channel } )
		if( *fd >= 0 )
		{
			close( *fd );
			*fd = -1;
		}
}

double ChildProcess::Remaining() const
{
	if( options.timeoutSeconds <= 0.0 )
		return -1.0;
	return std::fmax( 0.0, started + options.timeoutSeconds - Now() );
}

bool ChildProcess::Running()
{
	if( !ended )
		Reap( false );
	return !ended;
}

void ChildProcess::Reap( bool block )
{
	if( ended || pid <= 0 )
		return;
	int status        = 0;
	pid_t done = 0;
	do
		done = waitpid( pid, &status, block ? 0 : WNOHANG );
	while( done < 0 && errno == EINTR );
	if( done == 0 )
		return;
	ended        = true;
	exit.seconds = Now() - started;
	if( done < 0 )
	{
		exit.kind   = ChildExit::Kind::NotStarted;
		exit.reason = std::string( "lost the child: " ) + std::strerror( errno );
	}
	else if( exit.kind == ChildExit::Kind::TimedOut )
		exit.seconds = options.timeoutSeconds;
	else if( WIFSIGNALED( status ) )
	{
		exit.kind   = ChildExit::Kind::Signalled;
		exit.signal = WTERMSIG( status );
	}
	else
	{
		exit.kind   = ChildExit::Kind::Exited;
		exit.status = WEXITSTATUS( status );
	}
}

void ChildProcess::Kill()
{
	if( ended || pid <= 0 )
		return;
	kill( pid, SIGKILL );
	Reap( true );
}

void ChildProcess::Pump( double timeoutSeconds, bool untilMessage )
{
	const double start = Now();
	for( ;; )
	{
		if( untilMessage && !messages.empty() )
			return;
		Reap( false );
		pollfd fds[ 3 ];
		int* owners[ 3 ];
		nfds_t count = 0;
		for( int* fd : { &out.fd, &err.fd, &channel } )
			if( *fd >= 0 )
			{
				fds[ count ]    = { *fd, POLLIN, 0 };
				owners[ count++ ] = fd;
			}
		if( ended && count == 0 )
			return;
		// Once the child is gone only what is already buffered is read; a
		// grandchild holding the pipes open must not keep us waiting.
		// With every stream closed only the exit is left to see: look often.
		double wait = ended ? 0.0 : count == 0 ? 0.002 : 0.1;
		const double remaining = Remaining();
		if( remaining >= 0.0 )
			wait = std::fmin( wait, remaining );
		if( timeoutSeconds >= 0.0 )
			wait = std::fmin( wait, std::fmax( 0.0, start + timeoutSeconds - Now() ) );
		const int ready = poll( fds, count, PollMilliseconds( wait ) );
		if( ready < 0 && errno != EINTR )
			return;
		bool readAny = false;
		for( nfds_t i = 0; ready > 0 && i < count; ++i )
		{
			if( fds[ i ].revents == 0 )
				continue;
			char buffer[ 65536 ];
			const ssize_t got = read( fds[ i ].fd, buffer, sizeof buffer );
			if( got < 0 && ( errno == EINTR || errno == EAGAIN ) )
				continue;
			if( got <= 0 )
			{
				close( *owners[ i ] );
				*owners[ i ] = -1;
				continue;
			}
			readAny = true;
			if( owners[ i ] == &channel )
			{
				pending.append( buffer, static_cast< std::size_t >( got ) );
				while( pending.size() >= 4 && pending.size() >= 4 + std::size_t( FrameLength( pending.data() ) ) )
				{
					const uint32_t size = FrameLength( pending.data() );
					messages.push_back( pending.substr( 4, size ) );
					pending.erase( 0, 4 + size );
				}
				if( pending.size() >= 4 && FrameLength( pending.data() ) > kMaxMessage )
				{
					close( channel );// a corrupt stream: stop reading it
					channel = -1;
					pending.clear();
				}
			}
			else
			{
				Stream& stream = owners[ i ] == &out.fd ? out : err;
				stream.text.append( buffer, static_cast< std::size_t >( got ) );
				if( stream.text.size() > options.outputLimit )
					stream.text.erase( 0, stream.text.size() - options.outputLimit );
			}
		}
		if( ended && !readAny )
		{
			CloseAll();
			return;
		}
		if( !ended && Remaining() == 0.0 )
		{
			exit.kind = ChildExit::Kind::TimedOut;
			kill( pid, SIGKILL );
			Reap( true );
		}
		if( timeoutSeconds >= 0.0 && Now() - start >= timeoutSeconds && !( untilMessage && !messages.empty() ) )
			return;
	}
}

std::optional< std::string > ChildProcess::Receive( double timeoutSeconds )
{
	if( messages.empty() )
		Pump( timeoutSeconds, true );
	if( messages.empty() )
		return std::nullopt;
	std::string message = std::move( messages.front() );
	messages.erase( messages.begin() );
	return message;
}

bool ChildProcess::Send( std::string_view message )
{
	if( channel < 0 || message.size() > kMaxMessage )
		return false;
	const std::string framed = Frame( message );
	return WriteAll( channel, framed.data(), framed.size() );
}

const ChildExit& ChildProcess::Wait()
{
	Pump( -1.0, false );
	Reap( true );
	return exit;
}

std::vector< std::string > ChildProcess::TakeMessages()
{
	return std::exchange( messages, {} );
}

ChildResult RunInChild( const std::function< int( ChildChannel& ) >& work, ChildOptions options )
{
	ChildProcess child = ChildProcess::Fork( work, options );
	ChildResult result;
	result.exit     = child.Wait();
	result.messages = child.TakeMessages();
	result.out      = child.Stdout();
	result.err      = child.Stderr();
	return result;
}
}// namespace plughost
