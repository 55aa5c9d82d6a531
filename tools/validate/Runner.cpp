#include "Runner.h"

#include "Harness.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <sstream>

namespace plughost::validate
{
namespace
{
std::vector< std::string > Lines( const std::string& text )
{
	std::vector< std::string > lines;
	std::istringstream stream( text );
	for( std::string line; std::getline( stream, line ); )
	{
		while( !line.empty() && ( line.back() == ' ' || line.back() == '\r' ) )
			line.pop_back();
		if( !line.empty() )
			lines.push_back( line );
	}
	return lines;
}

std::string Shorten( std::string text, std::size_t limit = 240 )
{
	if( text.size() > limit )
		text = text.substr( 0, limit - 3 ) + "...";
	return text;
}

std::string LastLine( const std::string& text )
{
	const auto lines = Lines( text );
	return lines.empty() ? "" : lines.back();
}

constexpr double kAfterHangs = 5.0;

std::string SelfPath()
{
	char path[ PATH_MAX ];
	const ssize_t length = readlink( "/proc/self/exe", path, sizeof path - 1 );
	return length > 0 ? std::string( path, static_cast< std::size_t >( length ) ) : "/proc/self/exe";
}

// What the plug-in printed last, its errors first.
std::string LastOutput( const std::string& out, const std::string& err )
{
	return Shorten( LastLine( err ).empty() ? LastLine( out ) : LastLine( err ) );
}
}// namespace

void Counts::Add( Status status )
{
	switch( status )
	{
	case Status::Pass: ++passed; break;
	case Status::Warn: ++warnings; break;
	case Status::Fail: ++failed; break;
	case Status::Skip: ++skipped; break;
	}
}

void Counts::Add( const Counts& other )
{
	passed += other.passed;
	warnings += other.warnings;
	failed += other.failed;
	skipped += other.skipped;
}

std::string Counts::Summary() const
{
	return std::to_string( passed ) + " passed, " + std::to_string( warnings ) + " warnings, " + std::to_string( failed ) + " failed";
}

Counts PluginResult::Count() const
{
	Counts counts;
	for( const auto& result : results )
		counts.Add( result.status );
	return counts;
}

void Progress::Show( std::size_t done, std::size_t total, const std::string& label )
{
	if( !enabled )
		return;
	stream << "\r\033[K[" << done << "/" << total << "] " << Shorten( label, 70 ) << std::flush;
	shown = true;
}

void Progress::Clear()
{
	if( enabled && shown )
		stream << "\r\033[K" << std::flush;
	shown = false;
}

std::string SanitizerReport( const std::string& text )
{
	static const char* const markers[] = { "ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
										   "WARNING: ThreadSanitizer", "ERROR: MemorySanitizer", "ERROR: HWAddressSanitizer" };
	for( std::string line : Lines( text ) )
		for( const char* marker : markers )
			if( line.find( marker ) != std::string::npos )
			{
				// "==1234==ERROR: ..." -> "ERROR: ..."
				if( line.compare( 0, 2, "==" ) == 0 )
					if( const std::size_t end = line.find( "==", 2 ); end != std::string::npos )
						line.erase( 0, end + 2 );
				return Shorten( line );
			}
	return "";
}

CheckResult Judge( const CheckSpec& check, const ChildExit& exit, const std::vector< std::string >& messages,
				   const std::string& out, const std::string& err )
{
	CheckResult result;
	result.check   = &check;
	result.seconds = exit.seconds;
	std::string step = "the start of the check";
	std::optional< Outcome > outcome;
	for( const auto& encoded : messages )
	{
		const Message message = Decode( encoded );
		if( message.kind == Message::Kind::Step )
			step = message.text;
		else if( message.kind == Message::Kind::Outcome )
			outcome = message.outcome;
	}
	const std::string report = SanitizerReport( err );
	if( outcome && exit.Clean() && report.empty() )
	{
		result.status  = outcome->status;
		result.message = outcome->message;
		result.details = outcome->details;
		// A refusal often has its reason only in what the plug-in printed,
		// such as a shader compile error.
		if( result.status != Status::Pass )
			if( const std::string said = LastOutput( out, err ); !said.empty() )
				result.details.insert( result.details.begin(), "plug-in output: " + said );
		return result;
	}
	result.status        = Status::Fail;
	const std::string at = outcome ? " after the check finished (last request: " + step + ")" : " during " + step;
	if( !report.empty() )
		result.message = "sanitizer report" + ( outcome ? " while the check ran (last request: " + step + ")" : at ) + ": " + report;
	else if( exit.kind == ChildExit::Kind::Signalled )
		result.message = "the plug-in crashed (" + exit.Describe() + ")" + at;
	else if( exit.kind == ChildExit::Kind::TimedOut )
		result.message = "the plug-in hung: " + exit.Describe() + at;
	else if( exit.kind == ChildExit::Kind::Exited )
		result.message = "the process ended early (" + exit.Describe() + ")" + at;
	else
		result.message = "the check " + exit.Describe();
	const std::string last = LastOutput( out, err );
	if( report.empty() && !last.empty() )
		result.message += "; last output: " + last;
	if( outcome && outcome->status != Status::Pass )
		result.details.push_back( std::string( StatusName( outcome->status ) ) + ": " + outcome->message );
	return result;
}

int RunCheckInChild( const Settings& settings, const CheckSpec& check, const ChildChannel& channel )
{
	// Never deleted: the plug-in and the GL context stay as they are until
	// the process ends, so their teardown cannot be blamed on this check.
	auto* harness = new Harness( settings, channel );
	try
	{
		check.run( *harness );
	}
	catch( const CheckAbort& abort )
	{
		if( abort.status == Status::Skip )
			harness->Skip( abort.message );
		else
			harness->Fail( abort.message );
	}
	catch( const std::exception& error )
	{
		harness->Fail( std::string( "the check stopped: " ) + error.what() );
	}
	harness->Finish();
	return 0;
}

PluginResult RunChecks( const Settings& settings, const std::vector< const CheckSpec* >& checks, Progress& progress,
						const std::function< void( const CheckResult& ) >& onResult )
{
	PluginResult plugin;
	plugin.path       = settings.plugin;
	bool loads        = true;
	int hangs         = 0;
	const std::string self = SelfPath();
	// The sanitizer runtime must come first; anything preloaded already follows.
	const char* preloaded     = std::getenv( "LD_PRELOAD" );
	const std::string preload = settings.preload + ( preloaded && *preloaded ? std::string( ":" ) + preloaded : "" );
	for( std::size_t i = 0; i < checks.size(); ++i )
	{
		const CheckSpec& check = *checks[ i ];
		progress.Show( i, checks.size(), settings.plugin + ": " + check.Id() );
		CheckResult result;
		if( !loads )
		{
			result.check   = &check;
			result.status  = Status::Skip;
			result.message = "not run: the library does not load";
		}
		else
		{
			ChildOptions options;
			// A plug-in that hangs once tends to hang in every check that
			// reaches the same request; after two hangs the rest get less time.
			options.timeoutSeconds = hangs >= 2 ? std::min( settings.timeout, kAfterHangs ) : settings.timeout;
			ChildProcess child = settings.preload.empty()
									 ? ChildProcess::Fork( [ & ]( ChildChannel& channel ) { return RunCheckInChild( settings, check, channel ); },
														   options )
									 : ChildProcess::Exec( { self, "validate", "--child", check.Id(), "--level", std::to_string( settings.level ),
															 "--seed", std::to_string( settings.seed ), settings.plugin },
														   { "LD_PRELOAD=" + preload }, options );
			const ChildExit exit                  = child.Wait();
			hangs += exit.kind == ChildExit::Kind::TimedOut ? 1 : 0;
			const std::vector< std::string > sent = child.TakeMessages();
			result = Judge( check, exit, sent, child.Stdout(), child.Stderr() );
			for( const auto& encoded : sent )
				if( const Message message = Decode( encoded ); message.kind == Message::Kind::Fact )
					plugin.facts[ message.text ] = message.value;
			if( check.Id() == "library.load" )
				loads = result.status != Status::Fail;
		}
		plugin.results.push_back( result );
		progress.Clear();
		onResult( result );
	}
	return plugin;
}
}// namespace plughost::validate
