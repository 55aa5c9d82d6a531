#include "HostText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sys/uio.h>
#include <unistd.h>

namespace ffglfrei0r
{
namespace
{
// Copies up to `size` bytes from `address` when they are readable; answers
// how many were. process_vm_readv fails instead of faulting on bad memory.
std::size_t Probe( const void* address, void* into, std::size_t size )
{
	iovec local{ into, size };
	iovec remote{ const_cast< void* >( address ), size };
	const ssize_t got = process_vm_readv( getpid(), &local, 1, &remote, 1, 0 );
	return got > 0 ? static_cast< std::size_t >( got ) : 0;
}

// A NUL-terminated text at `address`, read in pieces that stop at the end
// of readable memory; nothing when no terminator comes first.
bool ReadText( const char* address, std::string& text )
{
	text.clear();
	char piece[ 256 ];
	while( text.size() < kMaxText )
	{
		// Never cross a page in one read: the next page may be unmapped.
		const auto offset      = reinterpret_cast< uintptr_t >( address ) % 4096;
		const std::size_t want = std::min< std::size_t >( sizeof piece, 4096 - offset );
		const std::size_t got  = Probe( address, piece, want );
		if( got == 0 )
			return false;
		const void* end = std::memchr( piece, '\0', got );
		if( end != nullptr )
		{
			text.append( piece, static_cast< std::size_t >( static_cast< const char* >( end ) - piece ) );
			return true;
		}
		text.append( piece, got );
		address += got;
	}
	text.resize( kMaxText );
	return true;
}

// Some sandboxes forbid process_vm_readv even on oneself.
bool ProbingWorks()
{
	static const bool works = [] {
		const char known[ 8 ] = "probe";
		char copy[ 8 ]{};
		return Probe( known, copy, sizeof copy ) == sizeof copy && std::memcmp( known, copy, sizeof copy ) == 0;
	}();
	return works;
}
}// namespace

std::string ReadHostText( f0r_param_t value )
{
	std::string text;
	if( !ProbingWorks() )
	{
		// Nothing to check with: trust the frei0r convention.
		const char* pointer = *static_cast< const char* const* >( value );
		return pointer ? std::string( pointer, strnlen( pointer, kMaxText ) ) : text;
	}
	const char* pointer = nullptr;
	// The frei0r way: a pointer to the host's char*.
	if( Probe( value, &pointer, sizeof pointer ) == sizeof pointer )
	{
		if( pointer == nullptr )
			return text;
		if( ReadText( pointer, text ) )
			return text;
	}
	// GStreamer's way: the text itself.
	if( ReadText( static_cast< const char* >( value ), text ) )
		return text;
	return {};
}
}// namespace ffglfrei0r
