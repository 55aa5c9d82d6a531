#include "ValidateOptions.h"

#include "common/CliOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace plughost::cli
{
namespace
{
namespace fs = std::filesystem;

// "--only a,b" and repeated options both add names.
void AddNames( const std::string& value, std::vector< std::string >& names, const std::string& option )
{
	std::istringstream stream( value );
	for( std::string name; std::getline( stream, name, ',' ); )
		if( !name.empty() )
			names.push_back( name );
	if( value.empty() )
		throw UsageError( option + " needs a group or check name" );
}

bool Matches( const validate::CheckSpec& check, const std::string& name )
{
	return name == check.group || name == check.Id();
}
}// namespace

ValidateOptions ParseValidateArgs( const std::vector< std::string >& args )
{
	ValidateOptions options;
	for( std::size_t i = 0; i < args.size(); ++i )
	{
		std::string value;
		const std::string& arg = args[ i ];
		if( IsHelp( arg ) )
			throw HelpRequested{};
		if( TakeValue( args, i, "--level", value ) )
		{
			uint32_t level = 0;
			if( !ParseUnsigned( value, 10, level ) || level == 0 )
				throw UsageError( "--level expects a whole number from 1 to 10, got \"" + value + "\"" );
			options.level = static_cast< int >( level );
		}
		else if( TakeValue( args, i, "--seed", value ) )
		{
			if( value.empty() || value.size() > 20 || value.find_first_not_of( "0123456789" ) != std::string::npos )
				throw UsageError( "--seed expects a whole number, got \"" + value + "\"" );
			errno = 0;
			options.seed = std::strtoull( value.c_str(), nullptr, 10 );
			if( errno == ERANGE )
				throw UsageError( "--seed is too large: \"" + value + "\"" );
		}
		else if( TakeValue( args, i, "--timeout", value ) )
			options.timeout = ParsePositive( "--timeout", value );
		else if( TakeValue( args, i, "--only", value ) )
			AddNames( value, options.only, "--only" );
		else if( TakeValue( args, i, "--skip", value ) )
			AddNames( value, options.skip, "--skip" );
		else if( TakeValue( args, i, "--junit", value ) )
		{
			if( value.empty() )
				throw UsageError( "--junit needs a file name" );
			options.junit = value;
		}
		else if( TakeValue( args, i, "--preload", value ) )
		{
			if( value.empty() || !fs::is_regular_file( value ) )
				throw UsageError( "--preload: no such library: " + value );
			options.preload = fs::absolute( value ).string();
		}
		else if( TakeValue( args, i, "--child", value ) )
			options.child = value;
		else if( arg == "--list" )
			options.list = true;
		else if( arg == "--json" )
			options.json = true;
		else if( arg.size() > 1 && arg[ 0 ] == '-' )
			throw UsageError( "unknown option " + arg );
		else
			options.plugins.push_back( arg );
	}
	if( options.timeout > 86400.0 )
		throw UsageError( "--timeout is at most 86400 seconds" );
	if( options.plugins.empty() && !options.list )
		throw UsageError( "validate needs at least one plug-in file (or --list)" );
	for( const auto& plugin : options.plugins )
	{
		if( !fs::exists( plugin ) )
			throw UsageError( "no such file: " + plugin );
		if( fs::is_directory( plugin ) )
			throw UsageError( plugin + " is a directory, not a plug-in file" );
	}
	SelectChecks( options.only, options.skip );
	return options;
}

std::vector< const validate::CheckSpec* > SelectChecks( const std::vector< std::string >& only, const std::vector< std::string >& skip )
{
	const auto& all = validate::AllChecks();
	for( const auto* names : { &only, &skip } )
		for( const auto& name : *names )
			if( std::none_of( all.begin(), all.end(), [ & ]( const auto& check ) { return Matches( check, name ); } ) )
			{
				std::string groups;
				for( const auto& group : validate::Groups() )
					groups += std::string( groups.empty() ? "" : ", " ) + group.name;
				throw UsageError( "no group or check is called \"" + name + "\"; groups are " + groups +
								  " (plughost validate --list shows every check)" );
			}
	std::vector< const validate::CheckSpec* > selected;
	for( const auto& check : all )
	{
		auto named = [ & ]( const std::vector< std::string >& names ) {
			return std::any_of( names.begin(), names.end(), [ & ]( const auto& name ) { return Matches( check, name ); } );
		};
		if( ( only.empty() || named( only ) ) && !named( skip ) )
			selected.push_back( &check );
	}
	return selected;
}

std::string ValidateUsage()
{
	return "usage: plughost validate PLUGIN.so [PLUGIN.so...] [options]\n"
		   "\n"
		   "Checks that an FFGL plug-in keeps the host interface's rules: loading,\n"
		   "identity, parameters, null records, lifecycle, frames and the GL state\n"
		   "they leave, hostile values, instances and host calls. Every check runs in\n"
		   "a child process, so a crash or a hang becomes a FAIL naming the request.\n"
		   "\n"
		   "options:\n"
		   "  --level N        1 to 10 (default 5): more sizes, lifetimes and fuzzing rounds\n"
		   "  --only NAME      run only this group or check (repeatable, or a,b,c)\n"
		   "  --skip NAME      leave this group or check out (repeatable)\n"
		   "  --list           list the groups and checks and exit\n"
		   "  --seed N         seed of the random rounds (default: a new one, printed)\n"
		   "  --timeout S      seconds each check may take (default 30; 5 at most once\n"
		   "                   two checks have hung)\n"
		   "  --junit FILE     also write JUnit XML for CI\n"
		   "  --json           print a JSON report instead of text\n"
		   "  --preload LIB    load LIB into each check's process first, e.g. the\n"
		   "                   AddressSanitizer runtime for a plug-in built with it\n"
		   "\n"
		   "Each result is PASS, WARN (legal but risky) or FAIL; SKIP when a check\n"
		   "does not apply. exit status: 0 nothing failed, 1 a check failed,\n"
		   "2 usage error.\n";
}
}// namespace plughost::cli
