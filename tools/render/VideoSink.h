// Where a video stream goes: a file, or standard output. On standard output
// the stream must be the only thing written, so while the sink is open
// anything else sent to file descriptor 1 (our messages, a plug-in's
// diagnostics) is diverted to standard error.
#pragma once

#include <csignal>
#include <cstdio>
#include <string>

namespace plughost::cli
{
class VideoSink
{
public:
	// `path` "-" means standard output. Throws Failure when the file cannot
	// be opened. A file left empty by a failed run is removed unless Close()
	// was called.
	explicit VideoSink( const std::string& path );
	~VideoSink();
	VideoSink( const VideoSink& )            = delete;
	VideoSink& operator=( const VideoSink& ) = delete;

	std::FILE* File() const { return file; }
	// Closes the stream; throws Failure when the last bytes cannot be written.
	void Close();

private:
	std::string path;
	std::FILE* file = nullptr;
	int savedStdout = -1;// the real standard output while it is diverted
	void ( *savedPipeHandler )( int ) = SIG_DFL;

	void Restore() noexcept;
};
}// namespace plughost::cli
