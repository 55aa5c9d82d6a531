#include "Report.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

namespace plughost::validate
{
std::string XmlEscape( const std::string& text )
{
	std::string escaped;
	for( unsigned char c : ValidUtf8( text ) )
		switch( c )
		{
		case '&': escaped += "&amp;"; break;
		case '<': escaped += "&lt;"; break;
		case '>': escaped += "&gt;"; break;
		case '"': escaped += "&quot;"; break;
		case '\'': escaped += "&apos;"; break;
		default:
			// XML 1.0 allows no control characters but tab and newlines.
			escaped += ( c < 0x20 && c != '\t' && c != '\n' && c != '\r' ) ? '?' : char( c );
		}
	return escaped;
}

std::string JUnitReport( const RunInfo& run )
{
	std::ostringstream out;
	Counts total;
	for( const auto& plugin : run.plugins )
		total.Add( plugin.Count() );
	out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"plughost validate\" tests=\""
		<< ( total.passed + total.warnings + total.failed + total.skipped ) << "\" failures=\"" << total.failed << "\">\n";
	for( const auto& plugin : run.plugins )
	{
		const Counts counts = plugin.Count();
		double seconds      = 0.0;
		for( const auto& result : plugin.results )
			seconds += result.seconds;
		const std::string name = std::filesystem::path( plugin.path ).filename().string();
		out << "  <testsuite name=\"" << XmlEscape( name ) << "\" tests=\"" << plugin.results.size() << "\" failures=\""
			<< counts.failed << "\" errors=\"0\" skipped=\"" << counts.skipped << "\" time=\"" << seconds << "\">\n"
			<< "    <properties>\n      <property name=\"path\" value=\"" << XmlEscape( plugin.path ) << "\"/>\n"
			<< "      <property name=\"level\" value=\"" << run.level << "\"/>\n      <property name=\"seed\" value=\""
			<< run.seed << "\"/>\n";
		for( const auto& [ key, value ] : plugin.facts )
			out << "      <property name=\"" << XmlEscape( key ) << "\" value=\"" << XmlEscape( value ) << "\"/>\n";
		out << "    </properties>\n";
		for( const auto& result : plugin.results )
		{
			char time[ 32 ];
			std::snprintf( time, sizeof time, "%.3f", result.seconds );
			out << "    <testcase classname=\"" << XmlEscape( name + "." + result.check->group ) << "\" name=\""
				<< XmlEscape( result.check->name ) << "\" time=\"" << time << "\">";
			std::string text = result.message;
			for( const auto& detail : result.details )
				text += "\n" + detail;
			if( result.status == Status::Fail )
				out << "\n      <failure message=\"" << XmlEscape( result.message ) << "\">" << XmlEscape( text ) << "</failure>\n    ";
			else if( result.status == Status::Skip )
				out << "\n      <skipped message=\"" << XmlEscape( result.message ) << "\"/>\n    ";
			else if( result.status == Status::Warn )
				out << "\n      <system-out>WARN: " << XmlEscape( text ) << "</system-out>\n    ";
			out << "</testcase>\n";
		}
		out << "  </testsuite>\n";
	}
	out << "</testsuites>\n";
	return out.str();
}
}// namespace plughost::validate
