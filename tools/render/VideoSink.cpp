#include "VideoSink.h"

#include "common/CliOptions.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

namespace plughost::cli
{
VideoSink::VideoSink( const std::string& target ) : path( target )
{
	if( path != "-" )
	{
		file = std::fopen( path.c_str(), "wb" );
		if( !file )
			throw Failure{ "cannot write " + path + ": " + std::strerror( errno ) };
		return;
	}
	// A reader that quits early should end the run with a message, not a signal.
	savedPipeHandler = std::signal( SIGPIPE, SIG_IGN );
	std::cout.flush();
	std::fflush( stdout );
	const int stream = dup( STDOUT_FILENO );
	savedStdout      = dup( STDOUT_FILENO );
	if( stream < 0 || savedStdout < 0 || dup2( STDERR_FILENO, STDOUT_FILENO ) < 0 || !( file = fdopen( stream, "wb" ) ) )
	{
		const std::string reason = std::strerror( errno );
		if( stream >= 0 )
			close( stream );
		Restore();
		throw Failure{ "cannot write the video to standard output: " + reason };
	}
}

VideoSink::~VideoSink()
{
	if( file )
	{
		// A run that failed before its first frame leaves no empty file behind.
		const bool empty = path != "-" && std::ftell( file ) == 0;
		std::fclose( file );
		if( empty )
			std::remove( path.c_str() );
	}
	Restore();
}

void VideoSink::Close()
{
	std::FILE* closing = file;
	file               = nullptr;
	const bool failed  = closing && std::fclose( closing ) != 0;
	const std::string reason = std::strerror( errno );
	Restore();
	if( failed )
		throw Failure{ "cannot write " + ( path == "-" ? std::string( "the video to standard output" ) : path ) + ": " + reason };
}

void VideoSink::Restore() noexcept
{
	if( savedStdout < 0 )
		return;
	std::cout.flush();
	std::fflush( stdout );
	dup2( savedStdout, STDOUT_FILENO );
	close( savedStdout );
	savedStdout = -1;
	std::signal( SIGPIPE, savedPipeHandler );
}
}// namespace plughost::cli
