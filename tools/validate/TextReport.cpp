#include "Report.h"

namespace plughost::validate
{
namespace
{
// Details beyond this many are summed up in one line.
constexpr std::size_t kDetails = 5;
}

void TextReport::Begin( const std::string& plugin, int level, uint64_t seed )
{
	out << "plughost validate " << plugin << " (level " << level << ", seed " << seed << ")\n";
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
	out << "  " << StatusName( result.status ) << "  " << id << result.message << "\n";
	if( result.status == Status::Pass )
		return;
	for( std::size_t i = 0; i < result.details.size() && i < kDetails; ++i )
		out << "        " << result.details[ i ] << "\n";
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
