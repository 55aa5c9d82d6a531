#include "PluginWatcher.h"

#include <Error.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace plughost::cli::serve
{
namespace
{
FileSignature FromStat( const struct stat& info )
{
	return { true, info.st_dev, info.st_ino, info.st_size,
			 static_cast< int64_t >( info.st_mtim.tv_sec ) * 1000000000 + info.st_mtim.tv_nsec };
}

std::string Reason( const std::string& what )
{
	return what + ": " + std::strerror( errno );
}

// Copies from an open descriptor; false with errno set on failure.
bool CopyAll( int from, int to )
{
	char buffer[ 1 << 16 ];
	for( ;; )
	{
		ssize_t got = read( from, buffer, sizeof buffer );
		if( got < 0 && errno == EINTR )
			continue;
		if( got < 0 )
			return false;
		if( got == 0 )
			return true;
		for( char* at = buffer; got > 0; )
		{
			const ssize_t put = write( to, at, static_cast< std::size_t >( got ) );
			if( put < 0 && errno == EINTR )
				continue;
			if( put <= 0 )
				return false;
			at += put;
			got -= put;
		}
	}
}
}// namespace

bool FileSignature::operator==( const FileSignature& other ) const
{
	return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
		   modified == other.modified;
}

FileSignature SignatureOf( const std::string& path )
{
	struct stat info{};
	if( stat( path.c_str(), &info ) != 0 )
		return {};
	return FromStat( info );
}

PluginWatcher::PluginWatcher( std::string path, Clock::duration settle ) : path( std::move( path ) ), settle( settle ) {}

void PluginWatcher::Accept( const FileSignature& signature )
{
	loaded = signature;
	pending.reset();
}

bool PluginWatcher::Poll( Clock::time_point now )
{
	const FileSignature current = SignatureOf( path );
	if( !current.exists || current == loaded )
	{
		pending.reset();
		return false;
	}
	if( !pending || *pending != current )
	{
		pending      = current;
		pendingSince = now;
		return false;
	}
	return now - pendingSince >= settle;
}

PrivateCopies::PrivateCopies()
{
	const char* base          = std::getenv( "TMPDIR" );
	std::string pattern       = std::string( base && *base ? base : "/tmp" ) + "/plughost-serve-XXXXXX";
	if( mkdtemp( pattern.data() ) == nullptr )
		throw Error( Reason( "cannot make a private directory for the plug-in copies (" + pattern + ")" ) );
	directory = pattern;
}

PrivateCopies::~PrivateCopies()
{
	std::error_code ignored;
	std::filesystem::remove_all( directory, ignored );
}

std::string PrivateCopies::Make( const std::string& source, FileSignature& signature )
{
	const int from = open( source.c_str(), O_RDONLY | O_CLOEXEC );
	if( from < 0 )
		throw Error( Reason( "cannot read " + source ) );
	struct stat info{};
	if( fstat( from, &info ) != 0 || !S_ISREG( info.st_mode ) )
	{
		close( from );
		throw Error( "cannot read " + source + ": not a regular file" );
	}
	signature               = FromStat( info );
	const std::string name  = std::filesystem::path( source ).filename().string();
	const std::string copy  = directory + "/" + std::to_string( ++made ) + "-" + name;
	const int to            = open( copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0700 );
	bool copied     = to >= 0 && CopyAll( from, to );
	int reason      = errno;
	close( from );
	if( to >= 0 && close( to ) != 0 && copied )
	{
		copied = false;
		reason = errno;
	}
	if( !copied )
	{
		unlink( copy.c_str() );
		errno = reason;
		throw Error( Reason( "cannot copy " + source + " to " + copy ) );
	}
	return copy;
}

void PrivateCopies::Remove( const std::string& copy )
{
	if( !copy.empty() )
		unlink( copy.c_str() );
}
}// namespace plughost::cli::serve
