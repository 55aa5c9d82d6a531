#include "Report.h"

#include <cstdio>

namespace plughost::validate
{
namespace
{
// Details beyond this many are summed up in one line.
constexpr std::size_t kDetails = 5;

// Messages carry what the plug-in wrote and texts it answered; control
// bytes (C0, DEL and UTF-8 encoded C1) would drive the terminal, so they
// are shown as \xNN instead.
std::string Printable( const std::string& text )
{
	std::string shown;
	shown.reserve( text.size() );
	for( std::size_t i = 0; i < text.size(); ++i )
	{
		const auto byte = static_cast< unsigned char >( text[ i ] );
		const bool c1   = byte == 0xC2 && i + 1 < text.size() && static_cast< unsigned char >( text[ i + 1 ] ) >= 0x80 &&
						static_cast< unsigned char >( text[ i + 1 ] ) <= 0x9F;
		if( byte >= 0x20 && byte != 0x7F && !c1 )
		{
			shown += text[ i ];
			continue;
		}
		for( std::size_t n = 0; n < ( c1 ? 2u : 1u ); ++n )
		{
			char escaped[ 8 ];
			std::snprintf( escaped, sizeof escaped, "\\x%02X", static_cast< unsigned char >( text[ i + n ] ) );
			shown += escaped;
		}
		i += c1 ? 1 : 0;
	}
	return shown;
}
}// namespace

void TextReport::Begin( const std::string& plugin, int level, uint64_t seed )
{
	out << "plughost validate " << Printable( plugin ) << " (level " << level << ", seed " << seed << ")\n";
	group.clear();
}

void TextReport::Line( const CheckResult& result )
{
	if( result.check->group != group )
	{
		group = result.check->group;
		out << group << "\n";
	}
	std::string id = result.check->Id();
	id.resize( std::max< std::size_t >( id.size() + 2, 32 ), ' ' );
	out << "  " << StatusName( result.status ) << "  " << id << Printable( result.message ) << "\n";
	if( result.status == Status::Pass )
		return;
	for( std::size_t i = 0; i < result.details.size() && i < kDetails; ++i )
		out << "        " << Printable( result.details[ i ] ) << "\n";
	if( result.details.size() > kDetails )
		out << "        (" << result.details.size() - kDetails << " more; see --json)\n";
}

void TextReport::End( const PluginResult& plugin )
{
	// The summary line stays "N passed, M warnings, K failed" for scripts.
	const Counts counts = plugin.Count();
	if( counts.skipped > 0 )
		out << counts.skipped << " skipped\n";
	out << counts.Summary() << "\n" << std::flush;
}

void TextReport::Total( const std::vector< PluginResult >& plugins )
{
	Counts total;
	for( const auto& plugin : plugins )
		total.Add( plugin.Count() );
	out << "\nall " << plugins.size() << " plug-ins: " << total.Summary() << "\n";
}
}// namespace plughost::validate
