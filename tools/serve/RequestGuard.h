// Who may talk to the server. A web page from elsewhere can make the browser
// send requests here; it cannot choose their Host header's name without a
// DNS name of its own (which is not an address literal or "localhost"),
// and the browser names the page's origin in Origin. Requests with a foreign
// Host or Origin are refused, so other pages can neither drive the plug-in
// nor read what it shows.
#pragma once

#include <string>
#include <vector>

namespace plughost::cli::serve
{
class RequestGuard
{
public:
	// `names` are host names accepted besides address literals and
	// "localhost" (the machine's name when bound beyond loopback).
	RequestGuard( int port, std::vector< std::string > names = {} );

	// Empty when the request may pass, else why it may not. `fetchSite` is
	// the browser's Sec-Fetch-Site header: only the page itself ("same-origin")
	// and the user ("none") may ask, not another page, even for a picture.
	std::string Check( const std::string& host, const std::string& origin, const std::string& fetchSite = "" ) const;

	// Largest request body, the number of event streams open at once and of
	// frame requests waiting for the next frame (beyond it they are answered
	// at once). Each holds a server thread (PreviewServer has enough for both
	// and as many again for everything else).
	static constexpr std::size_t kMaxBody    = 64 * 1024;
	static constexpr int kMaxEventStreams    = 16;
	static constexpr int kMaxWaitingFrames   = 32;

private:
	int port;
	std::vector< std::string > names;

	bool Allowed( const std::string& authority ) const;
};

bool IsLoopbackAddress( const std::string& address );
}// namespace plughost::cli::serve
