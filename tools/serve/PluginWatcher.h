// Notices a rebuilt plug-in file and keeps private copies of it to load.
//
// The file is polled by its identity (device, inode), size and modification
// time, so both a build that writes a new file and renames it over the old
// one and a linker that rewrites the file in place are seen. A change is
// reported once the file has kept still for a moment, so a file that is
// still being written is not loaded half done; a partial file that slips
// through fails to load, and its completion is seen as the next change.
//
// Each load gets a copy under a fresh name: the dynamic loader would hand out
// the image it already has for a known name, and a linker rewriting the file
// in place would change the pages of a loaded image under the plug-in's feet.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace plughost::cli::serve
{
struct FileSignature
{
	bool exists     = false;
	dev_t device    = 0;
	ino_t inode     = 0;
	off_t size      = 0;
	int64_t modified = 0;// nanoseconds

	bool operator==( const FileSignature& other ) const;
	bool operator!=( const FileSignature& other ) const { return !( *this == other ); }
};

FileSignature SignatureOf( const std::string& path );

class PluginWatcher
{
public:
	using Clock = std::chrono::steady_clock;
	explicit PluginWatcher( std::string path, Clock::duration settle = std::chrono::milliseconds( 300 ) );

	const std::string& Path() const { return path; }
	// The state of the file that was last loaded (or tried).
	void Accept( const FileSignature& loaded );
	// True when the file differs from the accepted state and has stayed the
	// same since the last calls for the settle time. A missing file waits.
	bool Poll( Clock::time_point now = Clock::now() );

private:
	std::string path;
	Clock::duration settle;
	FileSignature loaded;
	std::optional< FileSignature > pending;
	Clock::time_point pendingSince;
};

// A private directory for the copies, removed with everything in it.
class PrivateCopies
{
public:
	// Throws plughost::Error when no directory can be made.
	PrivateCopies();
	~PrivateCopies();
	PrivateCopies( const PrivateCopies& )            = delete;
	PrivateCopies& operator=( const PrivateCopies& ) = delete;

	const std::string& Directory() const { return directory; }
	// Copies `source` to a new name in the directory and answers that name;
	// `signature` gets the state of the source that was copied. Throws
	// plughost::Error naming the reason.
	std::string Make( const std::string& source, FileSignature& signature );
	void Remove( const std::string& copy );

private:
	std::string directory;
	uint32_t made = 0;
};
}// namespace plughost::cli::serve
