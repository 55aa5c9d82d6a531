// The validator's parts in-process: reading exported symbols, the messages
// between child and parent, the helpers checks word their findings with, the
// option parser and the three report forms.
#include "TestSupport.h"

#include <common/CliOptions.h>
#include <validate/ElfSymbols.h>
#include <validate/Harness.h>
#include <validate/Report.h>
#include <validate/Runner.h>
#include <validate/ValidateOptions.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

using namespace plughost;
using namespace plughost::validate;

namespace
{
std::string Planted( const std::string& name )
{
	return std::string( PLANTED_DIR ) + "/" + name + ".so";
}

bool Contains( const std::string& text, const std::string& piece )
{
	return text.find( piece ) != std::string::npos;
}

TEST( ValidateParts, ExportedSymbolsOfGoodAndBadFiles )
{
	using Symbols = std::vector< std::string >;
	EXPECT_EQ( ExportedSymbols( testsupport::Plugin( "VavoRozar" ) ), ( Symbols{ "SetLogCallback", "plugMain" } ) );
	EXPECT_EQ( ExportedSymbols( Planted( "HandMadeExtraExport" ) ), ( Symbols{ "SetLogCallback", "handMadeCounter", "plugMain" } ) );
	EXPECT_EQ( ExportedSymbols( Planted( "HandMadeNoLogEntry" ) ), Symbols{ "plugMain" } );

	// Truncated and foreign files are refused, never read past their end.
	const std::string scratch = testsupport::ScratchDir( "elf" );
	std::ifstream whole( testsupport::Plugin( "VavoRozar" ), std::ios::binary );
	const std::string bytes( ( std::istreambuf_iterator< char >( whole ) ), {} );
	for( const auto& [ name, content ] : { std::pair< std::string, std::string >{ "text", "not a library\n" },
										   { "head", bytes.substr( 0, 64 ) },
										   { "half", bytes.substr( 0, bytes.size() / 2 ) },
										   { "empty", "" } } )
	{
		std::ofstream( scratch + "/" + name, std::ios::binary ) << content;
		EXPECT_THROW( ExportedSymbols( scratch + "/" + name ), std::runtime_error ) << name;
	}
}

TEST( ValidateParts, MessagesSurviveTheChannel )
{
	Outcome outcome;
	outcome.status  = Status::Skip;
	outcome.message = "two\nlines";
	outcome.details = { "FAIL: first", "", "WARN: third" };
	const Message decoded = Decode( EncodeOutcome( outcome ) );
	ASSERT_EQ( decoded.kind, Message::Kind::Outcome );
	EXPECT_EQ( decoded.outcome.status, Status::Skip );
	EXPECT_EQ( decoded.outcome.message, "two lines" );// one line, as reports need
	EXPECT_EQ( decoded.outcome.details, outcome.details );

	const Message step = Decode( EncodeStep( "" ) ), fact = Decode( EncodeFact( "name", "Vavo Rozar" ) );
	EXPECT_EQ( step.kind, Message::Kind::Step );
	EXPECT_EQ( step.text, "" );
	EXPECT_EQ( fact.kind, Message::Kind::Fact );
	EXPECT_EQ( fact.value, "Vavo Rozar" );
	EXPECT_EQ( Decode( "outcome\nGOOD\nall fine" ).outcome.status, Status::Fail );
	EXPECT_EQ( Decode( "garbage" ).kind, Message::Kind::Unknown );
	EXPECT_EQ( Decode( "" ).kind, Message::Kind::Unknown );
}

TEST( ValidateParts, FindingsQuoteValuesAndTextsExactly )
{
	const float nan = std::numeric_limits< float >::quiet_NaN(), inf = std::numeric_limits< float >::infinity();
	const std::pair< float, std::string > values[] = {
		{ nan, "NaN" },     { -nan, "NaN (0xFFC00000)" }, { std::numeric_limits< float >::signaling_NaN(), "NaN (0x7FA00000)" },
		{ inf, "inf" },     { -inf, "-inf" },             { 1e30f, "1e+30" },
		{ -1.0f, "-1" },    { 0.1234567f, "0.1234567" },  { 1e-40f, "1e-40" },
		{ 16777217.0f, "16777216" }, { 120.0f, "120" },          { 1e8f, "100000000" },
		{ 1e10f, "1e+10" },
	};
	for( const auto& [ value, shown ] : values )
		EXPECT_EQ( Shown( value ), shown );
	EXPECT_EQ( Answer( FF_FAIL ), "failure" );
	EXPECT_EQ( Answer( 7 ), "7" );
	EXPECT_EQ( Request( 17 ), "code 17 (process frame)" );
	EXPECT_EQ( Request( 53 ), "code 53 (no such request)" );
	EXPECT_EQ( GLErrorName( 0x0502 ), "GL_INVALID_OPERATION" );

	const char sixteen[ 17 ] = "0123456789abcdef";
	EXPECT_EQ( ReadText( sixteen, 16 ).value_or( "none" ), sixteen );
	EXPECT_FALSE( ReadText( sixteen, 15 ).has_value() );
	EXPECT_EQ( ReadText( "", 0 ).value_or( "none" ), "" );
	EXPECT_TRUE( SameValue( nan, -nan ) );
	EXPECT_FALSE( SameValue( 0.5f, 0.25f ) );
}

TEST( ValidateParts, DistinctValuesStayInRangeAndDiffer )
{
	auto param = []( uint32_t type, float value, float minimum, float maximum, std::vector< float > elements = {} ) {
		Param made;
		made.type          = type;
		made.defaultValue  = value;
		made.minimum       = minimum;
		made.maximum       = maximum;
		made.elementValues = elements;
		return made;
	};
	const Param params[] = {
		param( FF_TYPE_STANDARD, 0.5f, 0, 1 ),          param( FF_TYPE_STANDARD, 1, 0, 1 ),
		param( FF_TYPE_STANDARD, 0, 0, 1 ),             param( FF_TYPE_BOOLEAN, 1, 0, 1 ),
		param( FF_TYPE_BOOLEAN, 0, 0, 1 ),              param( FF_TYPE_OPTION, 2, 0, 1, { 2, 3, 4 } ),
		param( FF_TYPE_INTEGER, 0, -12, 14 ),           param( FF_TYPE_INTEGER, 1, 1, 1 ),
		param( FF_TYPE_RED, 0.8f, 0, 1 ),
	};
	for( const Param& p : params )
	{
		const float value = p.DistinctValue();
		EXPECT_NE( value, p.defaultValue ) << p.type << " " << p.defaultValue;
		if( p.type == FF_TYPE_OPTION )
		{
			EXPECT_NE( std::find( p.elementValues.begin(), p.elementValues.end(), value ), p.elementValues.end() );
		}
		else if( p.minimum < p.maximum )
		{
			EXPECT_TRUE( value >= p.minimum && value <= p.maximum ) << p.type << " " << value;
		}
		if( p.type == FF_TYPE_INTEGER || p.type == FF_TYPE_OPTION )
		{
			EXPECT_EQ( value, std::round( value ) );
		}
	}
}

TEST( ValidateParts, PicturesAndTheirDifferences )
{
	const Image a = TestPicture( 8, 6, 0 ), b = TestPicture( 8, 6, 1 );
	for( std::size_t i = 0; i < a.pixels.size(); i += 4 )// nothing in the padding's magenta
		EXPECT_FALSE( a.pixels[ i ] == 255 && a.pixels[ i + 1 ] == 0 && a.pixels[ i + 2 ] == 255 );
	EXPECT_EQ( DifferingShare( a, a, 0 ), 0.0 );
	EXPECT_EQ( DifferingShare( a, b, 0 ), 1.0 );// the variants alternate everywhere
	Image edge = a;
	edge.pixels[ 0 ] ^= 0x80;// one corner pixel
	EXPECT_DOUBLE_EQ( DifferingShare( a, edge, 4 ), 1.0 / 48.0 );
	EXPECT_EQ( DifferingShare( a, edge, 4, 1 ), 0.0 );// outside the compared area
	EXPECT_EQ( DifferingShare( a, edge, 200 ), 0.0 );// within the tolerance
	EXPECT_EQ( DifferingShare( a, TestPicture( 6, 8, 0 ), 0 ), 1.0 );
}

TEST( ValidateParts, Options )
{
	const std::string clock = testsupport::Plugin( "VavoRozar" );
	const auto options = cli::ParseValidateArgs(
		{ "--level=3", "--only", "frames,host", "--only=null.record-8", "--skip", "frames.draws", "--seed",
		  "18446744073709551615", "--timeout", "2.5", "--json", "--junit", "out.xml", clock, clock } );
	EXPECT_EQ( options.level, 3 );
	EXPECT_EQ( options.only, ( std::vector< std::string >{ "frames", "host", "null.record-8" } ) );
	EXPECT_EQ( options.skip, std::vector< std::string >{ "frames.draws" } );
	EXPECT_EQ( options.seed, std::numeric_limits< uint64_t >::max() );
	EXPECT_DOUBLE_EQ( options.timeout, 2.5 );
	EXPECT_TRUE( options.json );
	EXPECT_EQ( options.junit, "out.xml" );
	EXPECT_EQ( options.plugins.size(), 2u );
	EXPECT_TRUE( cli::ParseValidateArgs( { "--list" } ).list );
	EXPECT_THROW( cli::ParseValidateArgs( { "--help" } ), cli::HelpRequested );
	for( const std::vector< std::string >& bad : std::vector< std::vector< std::string > >{
			 { "--seed", "18446744073709551616", clock }, { "--only", "", clock }, { "--junit", "", clock },
			 { "--level", "x", clock }, { "--timeout", "nan", clock }, { "--timeout", "100000", clock },
			 { testsupport::ScratchDir( "a-directory" ) } } )
		EXPECT_THROW( cli::ParseValidateArgs( bad ), cli::UsageError ) << bad.front();

	// Every check belongs to a listed group and has a unique id.
	std::set< std::string > ids;
	for( const CheckSpec& check : AllChecks() )
	{
		EXPECT_TRUE( ids.insert( check.Id() ).second ) << check.Id();
		EXPECT_TRUE( std::any_of( Groups().begin(), Groups().end(), [ & ]( const GroupSpec& g ) { return check.group == g.name; } ) );
	}
	EXPECT_EQ( AllChecks().front().Id(), "library.load" );
}

CheckResult Result( const CheckSpec& check, Status status, const std::string& message, std::vector< std::string > details = {} )
{
	CheckResult result;
	result.check   = &check;
	result.status  = status;
	result.message = message;
	result.details = std::move( details );
	result.seconds = 0.25;
	return result;
}

TEST( ValidateParts, ReportsInEveryForm )
{
	const CheckSpec load{ "library", "load", "", nullptr }, draws{ "frames", "draws", "", nullptr },
		rest{ "frames", "resting-state", "", nullptr }, pad{ "frames", "input-padding", "", nullptr };
	PluginResult plugin;
	plugin.path  = "/x/My<Plug>.so";
	plugin.facts = { { "name", "My \"Plug\"" } };
	plugin.results = {
		Result( load, Status::Pass, "loads", { "hidden for a PASS" } ),
		Result( draws, Status::Warn, "untouched" ),
		Result( rest, Status::Fail, "program 3 is still bound", { "1", "2", "3", "4", "5", "6", "7" } ),
		Result( pad, Status::Skip, "takes no input textures" ),
	};

	std::ostringstream text;
	TextReport report( text );
	report.Begin( plugin.path, 2, 9 );
	for( const auto& result : plugin.results )
		report.Line( result );
	report.End( plugin );
	EXPECT_EQ( text.str(),
			   "plughost validate /x/My<Plug>.so (level 2, seed 9)\n"
			   "library\n"
			   "  PASS  library.load                    loads\n"
			   "frames\n"
			   "  WARN  frames.draws                    untouched\n"
			   "  FAIL  frames.resting-state            program 3 is still bound\n"
			   "        1\n        2\n        3\n        4\n        5\n"
			   "        (2 more; see --json)\n"
			   "  SKIP  frames.input-padding            takes no input textures\n"
			   "1 skipped\n"
			   "1 passed, 1 warnings, 1 failed\n" );

	RunInfo run;
	run.level   = 2;
	run.seed    = 9;
	run.plugins = { plugin };
	const std::string json = JsonReport( run );
	EXPECT_TRUE( Contains( json, "\"name\": \"My \\\"Plug\\\"\"," ) ) << json;
	EXPECT_TRUE( Contains( json, "{\"id\": \"frames.resting-state\", \"group\": \"frames\", \"status\": \"FAIL\", \"message\": "
								 "\"program 3 is still bound\", \"seconds\": 0.250, \"details\": [\"1\", \"2\"" ) )
		<< json;
	EXPECT_TRUE( Contains( json, "\"summary\": {\"passed\": 1, \"warnings\": 1, \"failed\": 1, \"skipped\": 1}\n}" ) ) << json;

	const std::string junit = JUnitReport( run );
	EXPECT_TRUE( Contains( junit, "<testsuite name=\"My&lt;Plug&gt;.so\" tests=\"4\" failures=\"1\" errors=\"0\" skipped=\"1\"" ) ) << junit;
	EXPECT_TRUE( Contains( junit, "<failure message=\"program 3 is still bound\">program 3 is still bound\n1\n2" ) ) << junit;
	EXPECT_TRUE( Contains( junit, "<skipped message=\"takes no input textures\"/>" ) ) << junit;
	EXPECT_TRUE( Contains( junit, "<system-out>WARN: untouched</system-out>" ) ) << junit;
	EXPECT_TRUE( Contains( junit, "<property name=\"name\" value=\"My &quot;Plug&quot;\"/>" ) ) << junit;
	auto count = [ & ]( const std::string& piece ) {
		std::size_t found = 0;
		for( std::size_t at = junit.find( piece ); at != std::string::npos; at = junit.find( piece, at + 1 ) )
			++found;
		return found;
	};
	EXPECT_EQ( count( "<testcase " ), 4u );// every element closed
	EXPECT_EQ( count( "</testcase>" ), 4u );
	EXPECT_EQ( count( "<testsuite " ), count( "</testsuite>" ) );
	EXPECT_EQ( junit.substr( junit.size() - 14 ), "</testsuites>\n" );
}

TEST( ValidateParts, TheTextReportShowsControlBytesEscaped )
{
	const CheckSpec crash{ "frames", "crash", "", nullptr };
	PluginResult plugin;
	plugin.path    = "/x/p\x1B]0;t\x07.so";
	plugin.results = { Result( crash, Status::Fail, "last output: \x1B[2J\x1B[31mred\r\x7F \xC2\x9B ok \xC3\xA9\tx",
							   { "a\nb" } ) };
	std::ostringstream text;
	TextReport report( text );
	report.Begin( plugin.path, 1, 0 );
	report.Line( plugin.results.front() );
	EXPECT_EQ( text.str(), "plughost validate /x/p\\x1B]0;t\\x07.so (level 1, seed 0)\n"
						   "frames\n"
						   "  FAIL  frames.crash                    last output: \\x1B[2J\\x1B[31mred\\x0D\\x7F \\xC2\\x9B ok \xC3\xA9\\x09x\n"
						   "        a\\x0Ab\n" );
}
}// namespace

namespace
{
// Checks that misbehave in every way a plug-in can make a child misbehave.
std::vector< CheckSpec > Misbehaving()
{
	return {
		{ "library", "load", "", []( Harness& h ) { h.Step( "loading" ); h.Fact( "name", "Fake" ); h.Passed( "loads" ); } },
		{ "frames", "crash", "", []( Harness& h ) { h.Step( "code 17 (process frame)" ); raise( SIGILL ); } },
		{ "frames", "hang", "", []( Harness& h ) { h.Step( "code 20 (set time) to NaN" ); sleep( 30 ); } },
		{ "frames", "throws", "", []( Harness& ) { throw std::runtime_error( "bad record" ); } },
		{ "frames", "exits", "", []( Harness& h ) { h.Step( "code 2 (de-initialise)" ); std::exit( 0 ); } },
		{ "frames", "reports", "", []( Harness& h ) {
			 std::fprintf( stderr, "p.cpp:1:2: runtime error: load of value 7, which is not a valid value for type 'bool'\n" );
			 h.Warn( "looked fine" );
		 } },
		{ "frames", "aborts", "", []( Harness& h ) { h.Abort( "code 18 (instantiate) answered failure" ); } },
	};
}

TEST( ValidateParts, TheRunnerSurvivesEveryChild )
{
	const std::vector< CheckSpec > misbehaving = Misbehaving();
	std::vector< const CheckSpec* > checks;
	for( const auto& check : misbehaving )
		checks.push_back( &check );
	Settings settings;
	settings.plugin  = "fake.so";
	settings.timeout = 0.5;
	std::ostringstream progressText;
	Progress progress( progressText, true );
	std::vector< std::string > seen;
	const PluginResult result = RunChecks( settings, checks, progress, [ & ]( const CheckResult& r ) { seen.push_back( r.check->name ); } );
	EXPECT_EQ( seen, ( std::vector< std::string >{ "load", "crash", "hang", "throws", "exits", "reports", "aborts" } ) );
	EXPECT_EQ( result.facts.at( "name" ), "Fake" );
	const std::pair< Status, std::string > expected[] = {
		{ Status::Pass, "loads" },
		{ Status::Fail, "the plug-in crashed (killed by SIGILL (Illegal instruction)) during code 17 (process frame)" },
		{ Status::Fail, "the plug-in hung: timed out after 0.5 s and was killed during code 20 (set time) to NaN" },
		{ Status::Fail, "the check stopped: bad record" },
		{ Status::Fail, "the process ended early (exited with status 0) during code 2 (de-initialise)" },
		{ Status::Fail, "sanitizer report while the check ran (last request: the start of the check): p.cpp:1:2: runtime error: load of "
						"value 7, which is not a valid value for type 'bool'" },
		{ Status::Fail, "code 18 (instantiate) answered failure" },
	};
	ASSERT_EQ( result.results.size(), std::size( expected ) );
	for( std::size_t i = 0; i < std::size( expected ); ++i )
	{
		EXPECT_EQ( result.results[ i ].status, expected[ i ].first ) << i;
		EXPECT_EQ( result.results[ i ].message, expected[ i ].second );
	}
	EXPECT_EQ( result.results[ 5 ].details, std::vector< std::string >{ "WARN: looked fine" } );
	EXPECT_EQ( result.Count().Summary(), "1 passed, 0 warnings, 6 failed" );
	EXPECT_TRUE( Contains( progressText.str(), "\r\033[K[2/7] fake.so: frames.hang" ) ) << progressText.str();
	EXPECT_EQ( progressText.str().substr( progressText.str().size() - 4 ), "\r\033[K" );// cleared at the end

	// Nothing runs once the library cannot be loaded.
	const CheckSpec failing{ "library", "load", "", []( Harness& h ) { h.Fail( "no such file" ); } };
	std::ostringstream quiet;
	Progress silent( quiet, false );
	const PluginResult none = RunChecks( settings, { &failing, checks[ 1 ] }, silent, []( const CheckResult& ) {} );
	EXPECT_EQ( none.results[ 1 ].status, Status::Skip );
	EXPECT_EQ( none.results[ 1 ].message, "not run: the library does not load" );
	EXPECT_EQ( quiet.str(), "" );
}

TEST( ValidateParts, SanitizerReportsAreFound )
{
	const std::pair< std::string, std::string > cases[] = {
		{ "==4321==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x6\n    #0 0x1 in f\n",
		  "ERROR: AddressSanitizer: heap-buffer-overflow on address 0x6" },
		{ "noise\n==9==ERROR: LeakSanitizer: detected memory leaks\n", "ERROR: LeakSanitizer: detected memory leaks" },
		{ "src/a.cpp:12:5: runtime error: division by zero\n", "src/a.cpp:12:5: runtime error: division by zero" },
		{ "WARNING: ThreadSanitizer: data race (pid=5)\n", "WARNING: ThreadSanitizer: data race (pid=5)" },
		{ "Vertex Shader error: 0:1(1): syntax error\n", "" },
		{ "", "" },
	};
	for( const auto& [ err, report ] : cases )
		EXPECT_EQ( SanitizerReport( err ), report );
}
}// namespace
