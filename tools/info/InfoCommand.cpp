#include "InfoCommand.h"

#include "common/CliOptions.h"
#include "common/CrashNotice.h"
#include "common/ParameterSettings.h"

#include <ffgl/FFGL.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace plughost::cli
{
namespace
{
std::string YesNo( bool value )
{
	return value ? "yes" : "no";
}

std::string DefaultText( const ParameterDescription& parameter )
{
	if( IsTextType( parameter.type ) )
		return "\"" + parameter.defaultText + "\"";
	return FormatNumber( parameter.defaultValue );
}

std::string RangeText( const ParameterDescription& parameter )
{
	if( IsTextType( parameter.type ) )
		return "-";
	return FormatNumber( parameter.minimum ) + " .. " + FormatNumber( parameter.maximum );
}

// A left-aligned text table with two spaces between columns.
std::string Table( const std::vector< std::vector< std::string > >& rows, const std::string& indent )
{
	std::vector< std::size_t > widths;
	for( const auto& row : rows )
	{
		widths.resize( std::max( widths.size(), row.size() ), 0 );
		for( std::size_t c = 0; c < row.size(); ++c )
			widths[ c ] = std::max( widths[ c ], row[ c ].size() );
	}
	std::string text;
	for( const auto& row : rows )
	{
		std::string line = indent;
		for( std::size_t c = 0; c < row.size(); ++c )
		{
			line += row[ c ];
			if( c + 1 < row.size() )
				line += std::string( widths[ c ] - row[ c ].size() + 2, ' ' );
		}
		while( !line.empty() && line.back() == ' ' )
			line.pop_back();
		text += line + "\n";
	}
	return text;
}
}// namespace

std::string FormatInfo( const PluginLibrary& library )
{
	const PluginIdentity& identity = library.Identity();
	std::vector< std::vector< std::string > > head = {
		{ "ID:", identity.id },
		{ "Name:", identity.name },
		{ "Type:", PluginTypeName( identity.type ) },
		{ "API version:", std::to_string( identity.apiMajorVersion ) + "." + std::to_string( identity.apiMinorVersion ) },
	};
	if( const auto extended = library.Extended() )
	{
		head.push_back( { "Version:", std::to_string( extended->majorVersion ) + "." + std::to_string( extended->minorVersion ) } );
		head.push_back( { "Description:", extended->description } );
		head.push_back( { "About:", extended->about } );
	}
	else
		head.push_back( { "Version:", "(not reported)" } );
	if( const auto shortName = library.ShortName() )
		head.push_back( { "Short name:", *shortName } );

	const Capabilities caps = library.Caps();
	head.push_back( { "Host time:", caps.timeSupported ? "supported" : "not supported" } );
	head.push_back( { "Inputs:", std::to_string( caps.minimumInputs ) + " to " + std::to_string( caps.maximumInputs ) } );
	head.push_back( { "Top-left textures:", caps.topLeftOrientation ? "supported" : "not supported" } );

	std::ostringstream out;
	out << Table( head, "" );

	const auto parameters = library.DescribeAll();
	out << "\nParameters (" << parameters.size() << "):\n";
	if( parameters.empty() )
		return out.str();
	std::vector< std::vector< std::string > > rows = { { "#", "Name", "Type", "Default", "Range", "Visible", "Group" } };
	for( const auto& parameter : parameters )
		rows.push_back( { std::to_string( parameter.index ), parameter.name, ParameterTypeName( parameter.type ),
						  DefaultText( parameter ), RangeText( parameter ), YesNo( parameter.visible ),
						  parameter.group.empty() ? "-" : parameter.group } );
	const std::string table = Table( rows, "  " );

	// Option elements and file extensions go on indented lines under their row.
	std::istringstream lines( table );
	std::string line;
	std::getline( lines, line );
	out << line << "\n";
	for( const auto& parameter : parameters )
	{
		std::getline( lines, line );
		out << line << "\n";
		if( parameter.type == FF_TYPE_OPTION )
			for( std::size_t e = 0; e < parameter.elements.size(); ++e )
			{
				const auto& element = parameter.elements[ e ];
				out << "      [" << e << "] " << element.name;
				if( element.value )
					out << " = " << FormatNumber( *element.value );
				out << "\n";
			}
		if( !parameter.fileExtensions.empty() )
		{
			out << "      extensions:";
			for( const auto& extension : parameter.fileExtensions )
				out << " " << extension;
			out << "\n";
		}
	}
	return out.str();
}

std::string ParseInfoArgs( const std::vector< std::string >& args )
{
	std::string plugin;
	for( const auto& arg : args )
	{
		if( IsHelp( arg ) )
			throw HelpRequested{};
		TakePlugin( "info", arg, plugin );
	}
	if( plugin.empty() )
		throw UsageError( "info needs a plug-in file" );
	return plugin;
}

namespace
{
std::string InfoUsage()
{
	return "usage: plughost info PLUGIN.so\n"
		   "\n"
		   "Prints the plug-in's identity, capabilities, input counts and a table of\n"
		   "its parameters (index, name, type, default, range, elements, visibility, group).\n";
}

int RunInfo( const std::vector< std::string >& args, std::ostream& out, std::ostream& err )
{
	const std::string plugin = ParseInfoArgs( args );
	AnnouncePluginCrashes();
	try
	{
		PluginLibrary library( plugin );
		if( library.Initialise() != FF_SUCCESS )
		{
			err << "plughost: " << plugin << ": the plug-in failed to initialise\n";
			return kExitFailure;
		}
		out << FormatInfo( library );
		return kExitOk;
	}
	catch( const Error& error )
	{
		err << "plughost: " << error.what() << "\n";
		return kExitFailure;
	}
}
}// namespace

CommandSpec InfoCommand()
{
	return { "info", "info PLUGIN.so", "show identity, capabilities and parameters", InfoUsage, RunInfo };
}
}// namespace plughost::cli
