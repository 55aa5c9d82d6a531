#include "Module.h"

#include "ModuleFormat.h"
#include "Report.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ffglfrei0r
{
namespace
{
struct ModuleState
{
	std::mutex mutex;
	int selfFd = -1;// this module's file, opened when it was loaded
	std::string fileName;
	std::string openError;
	std::string loadError;// a plug-in that failed to load is not tried again
	std::shared_ptr< LoadedPlugin > plugin;
	int inits = 0;
	// A copy kept while the module is loaded: hosts hold on to its strings
	// after f0r_deinit (MLT registers them once for the process).
	std::unique_ptr< const PluginFacts > facts;
};

// Destroyed when the module is unloaded (or at exit), never before: nothing
// of the module may be used after that anyway.
ModuleState& State()
{
	static ModuleState state;
	return state;
}

// The file must be opened while the dynamic loader maps it: the path it was
// loaded by may be relative, and the file may be replaced or deleted later.
__attribute__( ( constructor ) ) void OpenSelf()
{
	ModuleState& state = State();
	Dl_info info{};
	if( dladdr( reinterpret_cast< void* >( &OpenSelf ), &info ) == 0 || info.dli_fname == nullptr )
	{
		state.openError = "cannot find the module's own file";
		return;
	}
	const std::string path = info.dli_fname;
	const auto slash       = path.rfind( '/' );
	state.fileName         = slash == std::string::npos ? path : path.substr( slash + 1 );
	state.selfFd           = open( path.c_str(), O_RDONLY | O_CLOEXEC );
	if( state.selfFd < 0 )
		state.openError = "cannot open " + path + ": " + std::strerror( errno );
}

bool ReadAll( int fd, void* buffer, std::size_t size, off_t offset )
{
	auto* bytes = static_cast< char* >( buffer );
	while( size > 0 )
	{
		const ssize_t got = pread( fd, bytes, size, offset );
		if( got < 0 && errno == EINTR )
			continue;
		if( got <= 0 )
			return false;
		bytes += got;
		size -= static_cast< std::size_t >( got );
		offset += got;
	}
	return true;
}

bool WriteAll( int fd, const char* bytes, std::size_t size )
{
	while( size > 0 )
	{
		const ssize_t put = write( fd, bytes, size );
		if( put < 0 && errno == EINTR )
			continue;
		if( put <= 0 )
			return false;
		bytes += put;
		size -= static_cast< std::size_t >( put );
	}
	return true;
}

// An anonymous in-memory file; a file in the temporary folder, unlinked at
// once, where memfd_create is missing.
int MakePayloadFile( std::string& error )
{
	const int fd = memfd_create( "ffgl-plugin", MFD_CLOEXEC );
	if( fd >= 0 )
		return fd;
	const char* tmp      = getenv( "TMPDIR" );
	std::string pattern  = std::string( tmp && *tmp ? tmp : "/tmp" ) + "/ffgl-frei0r-XXXXXX";
	const int fallback   = mkostemp( pattern.data(), O_CLOEXEC );
	if( fallback < 0 )
	{
		error = std::string( "cannot make a file for the plug-in: " ) + std::strerror( errno );
		return -1;
	}
	unlink( pattern.c_str() );
	return fallback;
}

// Copies the embedded plug-in into its own file; answers the open file.
int ExtractPayload( const ModuleState& state, std::string& error )
{
	struct stat status
	{
	};
	ModuleFooter footer{};
	if( fstat( state.selfFd, &status ) != 0 || status.st_size < static_cast< off_t >( sizeof footer ) ||
		!ReadAll( state.selfFd, &footer, sizeof footer, status.st_size - static_cast< off_t >( sizeof footer ) ) ||
		!FooterValid( footer, static_cast< uint64_t >( status.st_size ) ) )
	{
		error = "the module carries no FFGL plug-in (make modules with `plughost frei0r`)";
		return -1;
	}
	const int fd = MakePayloadFile( error );
	if( fd < 0 )
		return -1;
	std::vector< char > chunk( 1 << 20 );
	uint64_t left  = footer.payloadSize;
	off_t position = static_cast< off_t >( footer.payloadOffset );
	while( left > 0 )
	{
		const std::size_t size = left < chunk.size() ? static_cast< std::size_t >( left ) : chunk.size();
		if( !ReadAll( state.selfFd, chunk.data(), size, position ) || !WriteAll( fd, chunk.data(), size ) )
		{
			error = std::string( "cannot unpack the FFGL plug-in: " ) + std::strerror( errno ? errno : EIO );
			close( fd );
			return -1;
		}
		left -= size;
		position += static_cast< off_t >( size );
	}
	return fd;
}
}// namespace

std::shared_ptr< LoadedPlugin > AcquirePlugin()
{
	ModuleState& state = State();
	std::lock_guard< std::mutex > lock( state.mutex );
	if( state.plugin )
		return state.plugin;
	std::string error = state.loadError.empty() ? state.openError : state.loadError;
	if( error.empty() )
	{
		const int fd = ExtractPayload( state, error );
		if( fd >= 0 )
		{
			try
			{
				state.plugin = std::make_shared< LoadedPlugin >( fd, "/proc/self/fd/" + std::to_string( fd ) );
				if( !state.facts )
					state.facts = std::make_unique< const PluginFacts >( state.plugin->Facts() );
				return state.plugin;
			}
			catch( const std::exception& failure )
			{
				error = std::string( "cannot load the FFGL plug-in: " ) + failure.what();
			}
		}
	}
	state.loadError = error;
	ReportOnce( state.fileName.empty() ? "frei0r module" : state.fileName, error );
	return nullptr;
}

bool InitModule()
{
	if( !AcquirePlugin() )
		return false;
	ModuleState& state = State();
	std::lock_guard< std::mutex > lock( state.mutex );
	++state.inits;
	return true;
}

void DeinitModule()
{
	std::shared_ptr< LoadedPlugin > last;
	{
		ModuleState& state = State();
		std::lock_guard< std::mutex > lock( state.mutex );
		if( state.inits > 0 )
			--state.inits;
		if( state.inits == 0 )
			last = std::move( state.plugin );
	}
	// Unloaded here, outside the lock, when no instance holds it.
}

const PluginFacts* Facts()
{
	{
		ModuleState& state = State();
		std::lock_guard< std::mutex > lock( state.mutex );
		if( state.facts )
			return state.facts.get();
	}
	AcquirePlugin();
	ModuleState& state = State();
	std::lock_guard< std::mutex > lock( state.mutex );
	return state.facts.get();
}

std::string Subject()
{
	ModuleState& state = State();
	std::lock_guard< std::mutex > lock( state.mutex );
	if( state.facts )
		return state.facts->name + " (" + state.fileName + ")";
	return state.fileName;
}
}// namespace ffglfrei0r
