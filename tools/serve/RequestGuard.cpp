#include "RequestGuard.h"

#include "common/CliOptions.h"

#include <arpa/inet.h>

#include <algorithm>

namespace plughost::cli::serve
{
namespace
{
bool IsAddressLiteral( const std::string& host )
{
	unsigned char buffer[ 16 ];
	if( host.size() > 2 && host.front() == '[' && host.back() == ']' )
		return inet_pton( AF_INET6, host.substr( 1, host.size() - 2 ).c_str(), buffer ) == 1;
	return inet_pton( AF_INET, host.c_str(), buffer ) == 1;
}
}// namespace

bool IsLoopbackAddress( const std::string& address )
{
	unsigned char buffer[ 16 ];
	if( inet_pton( AF_INET, address.c_str(), buffer ) == 1 )
		return buffer[ 0 ] == 127;
	return address == "::1" || address == "localhost";
}

RequestGuard::RequestGuard( int port, std::vector< std::string > names ) : port( port ), names( std::move( names ) )
{
	for( auto& name : this->names )
		name = Lower( name );
}

bool RequestGuard::Allowed( const std::string& authority ) const
{
	// host[:port], the host possibly a bracketed IPv6 literal.
	std::string host = Lower( authority ), portText;
	const std::size_t close = host.rfind( ']' );
	const std::size_t colon = host.rfind( ':' );
	if( colon != std::string::npos && ( close == std::string::npos || colon > close ) )
	{
		portText = host.substr( colon + 1 );
		host.erase( colon );
	}
	if( portText.empty() ? port != 80 : portText != std::to_string( port ) )
		return false;
	return host == "localhost" || IsAddressLiteral( host ) || std::find( names.begin(), names.end(), host ) != names.end();
}

std::string RequestGuard::Check( const std::string& host, const std::string& origin, const std::string& fetchSite ) const
{
	if( host.empty() )
		return "a request needs a Host header";
	if( !Allowed( host ) )
		return "refused: the Host \"" + host.substr( 0, 100 ) + "\" is not this server's (use http://127.0.0.1:" + std::to_string( port ) + "/)";
	if( !fetchSite.empty() && fetchSite != "same-origin" && fetchSite != "none" )
		return "refused: a request from another site (" + fetchSite.substr( 0, 40 ) + ")";
	if( origin.empty() )
		return "";
	const std::string scheme = "http://";
	if( Lower( origin ).compare( 0, scheme.size(), scheme ) != 0 || !Allowed( origin.substr( scheme.size() ) ) )
		return "refused: requests from the page at \"" + origin.substr( 0, 100 ) + "\" are not allowed";
	return "";
}
}// namespace plughost::cli::serve
