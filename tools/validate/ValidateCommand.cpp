#include "ValidateCommand.h"

#include "ValidateOptions.h"
#include "common/CliOptions.h"
#include "validate/Report.h"

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iomanip>

namespace plughost::cli
{
namespace
{
using namespace validate;

std::string ListChecks( const std::vector< const CheckSpec* >& checks )
{
	std::string text;
	for( const auto& group : Groups() )
	{
		std::string lines;
		for( const CheckSpec* check : checks )
			if( check->group == group.name )
			{
				std::string id = check->Id();
				id.resize( std::max< std::size_t >( id.size() + 2, 32 ), ' ' );
				lines += "  " + id + check->summary + "\n";
			}
		if( !lines.empty() )
			text += std::string( group.name ) + ": " + group.summary + "\n" + lines;
	}
	return text;
}

uint64_t FreshSeed()
{
	const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
	return ( static_cast< uint64_t >( now ) ^ ( static_cast< uint64_t >( getpid() ) << 32 ) ) % 1000000000ull;
}

// The hidden mode behind --preload: one check, reported over the channel
// this process inherited.
int RunChild( const ValidateOptions& options )
{
	const auto channel = ChildChannel::FromEnvironment();
	const auto checks  = SelectChecks( { options.child }, {} );
	if( !channel || checks.size() != 1 || options.plugins.size() != 1 )
		throw UsageError( "--child is for the validator's own use" );
	Settings settings;
	settings.plugin = options.plugins.front();
	settings.level  = options.level;
	settings.seed   = options.seed.value_or( 0 );
	RunCheckInChild( settings, *checks.front(), *channel );
	// Like a forked check: the plug-in's teardown is no part of the check.
	std::fflush( nullptr );
	_exit( 0 );
}

int RunValidate( const std::vector< std::string >& args, std::ostream& out, std::ostream& err )
{
	const ValidateOptions options = ParseValidateArgs( args );
	if( !options.child.empty() )
		return RunChild( options );
	const auto checks = SelectChecks( options.only, options.skip );
	if( options.list )
	{
		out << ListChecks( checks );
		return kExitOk;
	}
	RunInfo run;
	run.level = options.level;
	run.seed  = options.seed.value_or( FreshSeed() );
	Progress progress( err, isatty( STDERR_FILENO ) != 0 );
	TextReport text( out );
	for( const auto& plugin : options.plugins )
	{
		Settings settings;
		settings.plugin  = plugin;
		settings.level   = options.level;
		settings.seed    = run.seed;
		settings.timeout = options.timeout;
		settings.preload = options.preload;
		if( !options.json )
			text.Begin( plugin, options.level, run.seed );
		run.plugins.push_back( RunChecks( settings, checks, progress, [ & ]( const CheckResult& result ) {
			if( !options.json )
				text.Line( result );
		} ) );
		if( !options.json )
			text.End( run.plugins.back() );
	}
	if( !options.json && run.plugins.size() > 1 )
		text.Total( run.plugins );
	if( options.json )
		out << JsonReport( run );
	if( !options.junit.empty() )
	{
		std::ofstream file( options.junit, std::ios::binary );
		file << JUnitReport( run );
		if( !file.flush() )
			throw Failure{ "cannot write " + options.junit };
	}
	for( const auto& plugin : run.plugins )
		if( plugin.Count().failed > 0 )
			return kExitFailure;
	return kExitOk;
}
}// namespace

CommandSpec ValidateCommand()
{
	return { "validate", "validate PLUGIN.so", "check plug-ins against the host interface's rules", ValidateUsage, RunValidate };
}
}// namespace plughost::cli
