// The validator run as a program: our plug-ins pass, more planted faults
// fail in their groups, a sanitizer report and the JSON and JUnit reports
// name the request, usage errors exit with 2. Then how a child's end becomes
// a result, in-process.
#include "RunSupport.h"
#include "TestSupport.h"

#include <validate/Report.h>
#include <validate/ValidateOptions.h>
#include <common/CliOptions.h>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>

using namespace plughost;
using namespace plughost::validate;
using namespace validatetest;

namespace
{
TEST( ValidateRun, OurPluginsPass )
{
	for( const char* name : { "VavoRozar", "SineField", "ToneGrade", "CrossFade" } )
		Expect( { testsupport::Plugin( name ), {}, "" } );
	Expect( { Planted( "Planted" ), {}, "" } );
	Expect( { Planted( "HandMadeClean" ), {}, "" } );// no SDK behind it
	Expect( { Planted( "HandMadeNeedsInit" ), {}, "" } );// instances only after code 34, as a host sends it
}

// More faults, each validated with the group meant to catch it.
TEST( ValidateRun, MoreFaultsInTheirGroups )
{
	const Case cases[] = {
		{ Planted( "PlantedVaoBound" ), { "frames.resting-state" }, "vertex array", { "--only", "frames" } },
		{ Planted( "PlantedInitProgram" ), { "frames.resting-state" }, "after code 18 (instantiate), program", { "--only", "frames" } },
		{ Planted( "PlantedModeLeak" ), { "frames.object-growth" }, "with code 8 (set parameter) before each", { "--only", "frames" } },
		{ Planted( "PlantedAbortOnNaN" ), { "hostile.floats" }, "SIGABRT", { "--only", "hostile" } },
		{ Planted( "PlantedDivideBySize" ), { "host.resize" }, "during code 23 (resize) to 0x0", { "--only", "host" } },
		{ Planted( "HandMadeIdNul" ), { "identity.id" }, "the ID \"AB\\x00\\x00\"", { "--only", "identity" } },
		{ Planted( "HandMadeType7" ), { "identity.type" }, "plug-in type 7", { "--only", "identity" } },
		{ Planted( "HandMadeApi1" ), { "identity.api-version" }, "interface version 1.0", { "--only", "identity" } },
		{ Planted( "HandMadeUnknownCode" ), { "null.unknown-codes" }, "code 1000 (no such request)", { "--only", "null" } },
		{ Planted( "HandMadeNamePastEnd" ), { "parameters.unregistered" }, "code 5 (get parameter name) for unregistered parameter",
		  { "--only", "parameters" } },
		{ Planted( "HandMadeNoLogEntry" ), { "library.entry-points" }, "SetLogCallback is not exported", { "--only", "library" } },
		{ Planted( "HandMadeExtraExport" ), {}, "", { "--only", "library" }, { "library.exports" } },
		{ Planted( "HandMadeDefaultOutside" ), { "parameters.defaults" }, "default 1.5 for parameter 0 \"Level\"",
		  { "--only", "parameters" }, { "parameters.initial-values" } },
		{ Planted( "HandMadeEventsOverrun" ), { "host.events" }, "wrote beyond the capacity", { "--only", "host" } },
		{ Planted( "HandMadeGroupOverrun" ), { "parameters.text-queries" }, "with capacity 3 wrote beyond the capacity",
		  { "--only", "parameters" } },
		{ Planted( "HandMadeInitOnce" ), { "lifecycle.initialise" }, "code 34 (initialise) (second round) answers failure",
		  { "--only", "lifecycle" } },
		{ Planted( "HandMadeHostNameRead" ), { "host.host-info" }, "during code 39 (set host info) with null texts", { "--only", "host" } },
		{ Planted( "HandMadeCrashOnDeinit" ),
		  { "library.load-global", "library.entry-points", "library.separate-copies", "library.reload" },
		  "code 2 (de-initialise)", { "--only", "library" } },
	};
	for( const Case& c : cases )
		Expect( c );
}

TEST( ValidateRun, CrashesNameTheRequestAndReportsTellCI )
{
	// The sanitizer runtime goes in first; the report names the request.
	const std::string scratch = testsupport::ScratchDir( "validate" );
	const ToolRun asan = Validate( { "--preload", ASAN_RUNTIME, "--only", "hostile.texts", "--junit", scratch + "/junit.xml",
								 Planted( "PlantedHeapOverflow" ) } );
	ASSERT_EQ( asan.failed.count( "hostile.texts" ), 1u ) << asan.out << asan.err;
	EXPECT_TRUE( Contains( asan.failed.at( "hostile.texts" ), "AddressSanitizer: heap-buffer-overflow" ) );
	EXPECT_TRUE( Contains( asan.failed.at( "hostile.texts" ), "during code 8 (set parameter) for parameter 2 \"Label\"" ) );

	// The hidden child mode reports passes and facts as a forked child does.
	const ToolRun preloaded = Validate( { "--preload", ASAN_RUNTIME, "--only", "library.load,identity", Planted( "PlantedHeapOverflow" ) } );
	EXPECT_EQ( preloaded.status, 0 ) << preloaded.out << preloaded.err;
	EXPECT_TRUE( Contains( preloaded.out, "answers \"Planted\" (PLNT)" ) && Contains( preloaded.out, "9 passed, 0 warnings, 0 failed" ) )
		<< preloaded.out;

	std::ifstream file( scratch + "/junit.xml" );
	const std::string junit( ( std::istreambuf_iterator< char >( file ) ), {} );
	EXPECT_TRUE( Contains( junit, "<testsuite name=\"PlantedHeapOverflow.so\" tests=\"1\" failures=\"1\"" ) ) << junit;
	EXPECT_TRUE( Contains( junit, "<testcase classname=\"PlantedHeapOverflow.so.hostile\" name=\"texts\"" ) ) << junit;
	EXPECT_TRUE( Contains( junit, "<failure message=\"sanitizer report during code 8" ) ) << junit;

	const ToolRun json = Validate( { "--json", "--only", "null.record-20,identity.id", Planted( "PlantedNullRecord" ) } );
	EXPECT_EQ( json.status, 1 );
	EXPECT_TRUE( Contains( json.out, "\"id\": \"null.record-20\", \"group\": \"null\", \"status\": \"FAIL\"" ) ) << json.out;
	EXPECT_TRUE( Contains( json.out, "\"summary\": {\"passed\": 1, \"warnings\": 0, \"failed\": 1, \"skipped\": 0}" ) ) << json.out;
}

TEST( ValidateRun, ThePluginCannotTakeTheValidatorDown )
{
	// A crash while loading ends the run for that plug-in only.
	ToolRun load = Validate( { "--level", "1", Planted( "HandMadeCrashOnLoad" ), Planted( "HandMadeClean" ) } );
	EXPECT_EQ( load.status, 1 );
	EXPECT_EQ( load.failed.size(), 1u );
	EXPECT_TRUE( Contains( load.failed[ "library.load" ], "crashed (killed by SIGSEGV (Segmentation fault)) during loading the library" ) ||
				 Contains( load.failed[ "library.load" ], "sanitizer report during loading the library" ) )
		<< load.out;
	const std::string skipped = "SKIP  library.load-global             not run: the library does not load";
	EXPECT_TRUE( Contains( load.out, skipped ) ) << load.out;
	EXPECT_TRUE( Contains( load.out, "\nall 2 plug-ins: " ) ) << load.out;

	ToolRun exits = Validate( { "--only", "host.sample-rate", Planted( "HandMadeExitOnRate" ) } );
	EXPECT_EQ( exits.failed[ "host.sample-rate" ],
			   "the process ended early (exited with status 3) during code 40 (set sample rate) to 0" );

	ToolRun notPlugin = Validate( { "--only", "library.load", testsupport::Fixture( "NotAPlugin" ) } );
	EXPECT_TRUE( Contains( notPlugin.failed[ "library.load" ], "is not an FFGL plug-in: it has no plugMain" ) ) << notPlugin.out;
}

TEST( ValidateRun, UsageErrors )
{
	const std::string clock = testsupport::Plugin( "VavoRozar" );
	const std::pair< std::vector< std::string >, std::string > cases[] = {
		{ {}, "needs at least one plug-in file" },
		{ { "/nonexistent/Plugin.so" }, "no such file: /nonexistent/Plugin.so" },
		{ { "--level", "0", clock }, "--level expects a whole number from 1 to 10" },
		{ { "--level", "11", clock }, "--level expects" },
		{ { "--only", "framez", clock }, "no group or check is called \"framez\"" },
		{ { "--skip", "frames.nothing", clock }, "no group or check is called" },
		{ { "--seed", "-1", clock }, "--seed expects a whole number" },
		{ { "--timeout", "0", clock }, "--timeout expects a positive number" },
		{ { "--preload", "/nonexistent/libasan.so", clock }, "--preload: no such library" },
		{ { "--fast", clock }, "unknown option --fast" },
	};
	for( const auto& [ arguments, message ] : cases )
	{
		const ToolRun run = Validate( arguments );
		EXPECT_EQ( run.status, 2 ) << message;
		EXPECT_TRUE( Contains( run.err, message ) ) << run.err;
	}
	const ToolRun list = Validate( { "--list", "--only", "frames", "--skip", "frames.draws" } );
	EXPECT_EQ( list.status, 0 );
	EXPECT_TRUE( Contains( list.out, "frames.resting-state" ) && !Contains( list.out, "frames.draws" ) &&
				 !Contains( list.out, "library.load" ) )
		<< list.out;
}

Outcome Finished( Status status, const std::string& message )
{
	Outcome outcome;
	outcome.status  = status;
	outcome.message = message;
	return outcome;
}

TEST( ValidateJudge, HowAChildEndsBecomesTheResult )
{
	const CheckSpec check{ "frames", "draws", "", nullptr };
	ChildExit clean, crashed, hung, early, unstarted;
	unstarted.reason = "fork failed";
	clean.kind   = ChildExit::Kind::Exited;
	crashed.kind = ChildExit::Kind::Signalled;
	crashed.signal = SIGSEGV;
	hung.kind    = ChildExit::Kind::TimedOut;
	hung.seconds = 2;
	early.kind   = ChildExit::Kind::Exited;
	early.status = 1;
	const std::string step = EncodeStep( "code 17 (process frame) at 64x48" );
	const std::string done = EncodeOutcome( Finished( Status::Warn, "untouched" ) );
	const std::string asan = "==77==ERROR: AddressSanitizer: SEGV on unknown address 0x000000000000\n    #0 0x1 in f\n";
	const struct
	{
		ChildExit exit;
		std::vector< std::string > messages;
		std::string err;
		Status status;
		std::string message;
	} cases[] = {
		{ clean, { step, done }, "", Status::Warn, "untouched" },
		{ crashed, { step }, "last words\n", Status::Fail,
		  "the plug-in crashed (killed by SIGSEGV (Segmentation fault)) during code 17 (process frame) at 64x48; last output: last words" },
		{ hung, { step }, "", Status::Fail, "the plug-in hung: timed out after 2 s and was killed during code 17 (process frame) at 64x48" },
		{ early, { step }, asan, Status::Fail,
		  "sanitizer report during code 17 (process frame) at 64x48: ERROR: AddressSanitizer: SEGV on unknown address 0x000000000000" },
		{ clean, { step, done }, "x.cpp:3:7: runtime error: signed integer overflow\n", Status::Fail,
		  "sanitizer report while the check ran (last request: code 17 (process frame) at 64x48): x.cpp:3:7: runtime error: "
		  "signed integer overflow" },
		{ early, {}, "", Status::Fail, "the process ended early (exited with status 1) during the start of the check" },
		{ crashed, { step, done }, "", Status::Fail,
		  "the plug-in crashed (killed by SIGSEGV (Segmentation fault)) after the check finished (last request: code 17 (process "
		  "frame) at 64x48)" },
		{ unstarted, {}, "", Status::Fail, "the check could not start: fork failed" },
	};
	for( const auto& c : cases )
	{
		const CheckResult result = Judge( check, c.exit, c.messages, "", c.err );
		EXPECT_EQ( result.status, c.status ) << c.message;
		EXPECT_EQ( result.message, c.message );
	}
}

TEST( ValidateReports, LevelsScaleTheWork )
{
	const Budget one = BudgetFor( 1 ), five = BudgetFor( 5 ), ten = BudgetFor( 10 );
	const std::vector< std::pair< uint32_t, uint32_t > > required = { { 1, 1 }, { 16, 9 }, { 1920, 1080 }, { 4097, 7 } };
	EXPECT_EQ( one.sizes, required );
	EXPECT_EQ( five.lifetimes, 200u );// the heap is judged over the last 100
	EXPECT_EQ( one.fuzzRounds, 0u );  // level 1 stays quick
	for( const auto& [ low, high ] : { std::pair{ one, five }, std::pair{ five, ten } } )
	{
		EXPECT_LT( low.sizes.size(), high.sizes.size() );
		EXPECT_LT( low.lifetimes, high.lifetimes );
		EXPECT_LT( low.fuzzRounds, high.fuzzRounds );
		EXPECT_LT( low.growthFrames, high.growthFrames );
	}
	EXPECT_EQ( BudgetFor( 0 ).lifetimes, one.lifetimes );
	EXPECT_EQ( BudgetFor( 99 ).lifetimes, ten.lifetimes );
}

TEST( ValidateReports, CountsEscapesAndSelection )
{
	Counts counts;
	for( Status status : { Status::Pass, Status::Pass, Status::Warn, Status::Fail, Status::Skip } )
		counts.Add( status );
	EXPECT_EQ( counts.Summary(), "2 passed, 1 warnings, 1 failed" );
	EXPECT_EQ( counts.skipped, 1u );
	EXPECT_EQ( JsonEscape( "a\"b\\\n\x01\xff\xc3\xa9" ), "a\\\"b\\\\\\u000a\\u0001?\xc3\xa9" );
	EXPECT_EQ( XmlEscape( "<a & 'b'>\x02" ), "&lt;a &amp; &apos;b&apos;&gt;?" );
	const auto frames = cli::SelectChecks( { "frames", "host.time" }, { "frames.draws" } );
	ASSERT_FALSE( frames.empty() );
	for( const CheckSpec* check : frames )
		EXPECT_TRUE( ( check->group == "frames" && check->name != "draws" ) || check->Id() == "host.time" ) << check->Id();
	EXPECT_THROW( cli::SelectChecks( { "nothing" }, {} ), cli::UsageError );
}
}// namespace
