// Single checks run in this process on plug-ins that do not crash, with the
// exact line each reports: it is what an author reads first, so the request,
// the parameter, the expectation and the answer must all be in it.
#include <validate/GLState.h>
#include <validate/Harness.h>
#include <validate/Protocol.h>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <regex>
#include <thread>
#include <tuple>

using namespace plughost;
using namespace plughost::validate;

namespace
{
std::string Planted( const std::string& name )
{
	return std::string( PLANTED_DIR ) + "/" + name + ".so";
}

const CheckSpec& Find( const std::string& id )
{
	for( const CheckSpec& check : AllChecks() )
		if( check.Id() == id )
			return check;
	throw std::runtime_error( "no check " + id );
}

// Runs one check as its child would, collecting what it sends on a thread
// of its own so a chatty check never fills the socket.
Outcome RunCheck( const std::string& plugin, const std::function< void( Harness& ) >& run, int level = 1, uint64_t seed = 3 )
{
	int ends[ 2 ] = { -1, -1 };
	if( socketpair( AF_UNIX, SOCK_STREAM, 0, ends ) != 0 )
		throw std::runtime_error( "no socket pair" );
	Outcome outcome;
	std::thread reader( [ & ] {
		const ChildChannel parent( ends[ 0 ] );
		while( const auto message = parent.Receive() )
			if( const Message decoded = Decode( *message ); decoded.kind == Message::Kind::Outcome )
				outcome = decoded.outcome;
	} );
	{
		Settings settings;
		settings.plugin = plugin;
		settings.level  = level;
		settings.seed   = seed;
		const ChildChannel child( ends[ 1 ] );
		Harness harness( settings, child );
		try
		{
			run( harness );
		}
		catch( const CheckAbort& abort )
		{
			harness.Fail( abort.message );
		}
		harness.Finish();
	}
	close( ends[ 1 ] );
	reader.join();
	close( ends[ 0 ] );
	return outcome;
}

Outcome RunCheck( const std::string& plugin, const std::string& id, int level = 1, uint64_t seed = 3 )
{
	return RunCheck( plugin, Find( id ).run, level, seed );
}

// The outcome's findings in order, each a whole line.
void ExpectLines( const Outcome& outcome, const std::vector< std::string >& lines )
{
	std::vector< std::string > found = { outcome.message };
	for( const std::string& detail : outcome.details )
		found.push_back( detail.substr( detail.find( ": " ) + 2 ) );
	ASSERT_EQ( found.size(), lines.size() ) << outcome.message;
	for( std::size_t i = 0; i < lines.size(); ++i )
		EXPECT_TRUE( std::regex_match( found[ i ], std::regex( lines[ i ] ) ) ) << found[ i ];
}

TEST( ValidateChecks, FailLinesSayWhichRequestWhatWasExpectedAndWhatCameBack )
{
	const struct
	{
		const char* plugin;
		const char* check;
		const char* line;// a regular expression for the whole line
	} cases[] = {
		{ "PlantedUnit3", "frames.resting-state",
		  R"(after code 17 \(process frame\), texture unit 3 is still active \(GL_ACTIVE_TEXTURE is GL_TEXTURE0 \+ 3\); expected unit 0)" },
		{ "PlantedProgramBound", "frames.resting-state", R"(after code 17 \(process frame\), program \d+ is still bound; expected 0)" },
		{ "PlantedVaoBound", "frames.resting-state", R"(after code 17 \(process frame\), vertex array \d+ is still bound; expected 0)" },
		{ "PlantedFboUnbound", "frames.framebuffer",
		  R"(after code 17 \(process frame\), framebuffer 0 is bound for drawing; expected the host's framebuffer \d+)" },
		{ "PlantedGLError", "frames.gl-errors", R"(GL_INVALID_ENUM is pending after code 17 \(process frame\); expected no GL error)" },
		{ "PlantedTextureLeak", "frames.object-growth",
		  R"(code 17 \(process frame\) leaves GL objects alive that grow with the frames: 8 more after 8 frames, 8 more after the next 8: 16 textures \([0-9, ]+\.\.\.\); expected a steady count)" },
		{ "PlantedTextureLeak", "lifecycle.lifetimes",
		  R"(after 40 lifetimes \(code 18 \(instantiate\), code 17 \(process frame\), code 19 \(de-instantiate\)\) and code 2 \(de-initialise\), GL objects are still alive: 40 textures \(.*\); expected none)" },
		{ "PlantedNaN", "hostile.floats",
		  R"(code 9 \(get parameter\) for parameter 0 "Level" answers NaN after code 8 \(set parameter\) set parameter 0 "Level" to NaN; expected no NaN ever to be read back)" },
		{ "PlantedDisplayNoNul", "parameters.display",
		  R"(code 7 \(get parameter display\) for parameter 0 "Level" at 0.5 answers 16 bytes with no NUL \("7777777777777777"\); expected a text that ends within 16 bytes)" },
		{ "PlantedSharedValue", "instances.independent",
		  R"(code 8 \(set parameter\) for parameter 0 "Level" on one instance to 0.75 changed another instance's value: expected 0.5, got 0.75)" },
		{ "HandMadeDefaultOutside", "parameters.defaults",
		  R"(the default 1.5 for parameter 0 "Level" \(code 6 \(get parameter default\)\) lies outside the range 0 .. 1 that code 41 \(get parameter range\) reports)" },
		{ "HandMadeGroupOverrun", "parameters.text-queries",
		  R"(code 50 \(get parameter group\) for parameter 0 "Level" with capacity 3 wrote beyond the capacity into the host's buffer)" },
		{ "HandMadeEventsOverrun", "host.events",
		  R"(code 46 \(get parameter events\) with capacity 0 wrote beyond the capacity of the host's array)" },
		{ "PlantedInitProgram", "frames.resting-state", R"(after code 18 \(instantiate\), program \d+ is still bound; expected 0)" },
		{ "PlantedModeLeak", "frames.object-growth",
		  R"(code 17 \(process frame\) with code 8 \(set parameter\) before each leaves GL objects alive that grow with the frames: .* textures .*)" },
		{ "PlantedSharedProgram", "instances.after-destroy",
		  R"(code 19 \(de-instantiate\) of one instance deleted GL objects that another instance made and still uses: 1 program \(\d+\), 2 shaders \(\d+, \d+\))" },
		{ "PlantedIgnoresPadding", "frames.input-padding",
		  R"(code 17 \(process frame\) with input pictures of 64x48 in 128x64 allocations: \d+% of the output differs from the same frame with exact-size textures; expected the padding never to show \(width / hardware width is the largest texture coordinate\))" },
		{ "PlantedParamProgram", "host.gl-state",
		  R"(after code 8 \(set parameter\) on parameter 0 "Level" to 0.75, program \d+ is still bound; expected 0)" },
		{ "PlantedWritesInput", "frames.inputs-untouched",
		  R"(code 17 \(process frame\) changed the host's input texture 0 \(8192 of 8192 texels\); expected it untouched)" },
		{ "HandMadeIdNul", "identity.id",
		  R"(code 0 \(get info\) reports the ID "AB\\x00\\x00": byte 2 is not printable; expected 4 printable characters)" },
		{ "HandMadeType7", "identity.type", R"(code 0 \(get info\) reports plug-in type 7; expected 0 \(effect\), 1 \(source\) or 2 \(mixer\))" },
		{ "HandMadeApi1", "identity.api-version", R"(code 0 \(get info\) reports interface version 1.0; expected major version 2)" },
		{ "HandMadeUnknownCode", "null.unknown-codes",
		  R"(code 1000 \(no such request\) without an instance with input 0 answers 0; expected failure)" },
		{ "HandMadeNoLogEntry", "library.entry-points",
		  R"(SetLogCallback is not exported; expected both entry points, plugMain and SetLogCallback)" },
	};
	for( const auto& c : cases )
	{
		const Outcome outcome = RunCheck( Planted( c.plugin ), c.check );
		EXPECT_EQ( outcome.status, Status::Fail ) << c.plugin << " " << c.check << ": " << outcome.message;
		EXPECT_TRUE( std::regex_match( outcome.message, std::regex( c.line ) ) ) << c.plugin << " " << c.check << ":\n" << outcome.message;
	}
}

TEST( ValidateChecks, RiskyButLegalDescriptionsWarn )
{
	const std::string probe = std::string( FFGL_PLUGIN_DIR ) + "/Probe.so";// registers odd descriptions on purpose
	const std::tuple< std::string, std::string, std::string > cases[] = {
		{ probe, "parameters.defaults", "the default 1 for parameter 2 \"Mode\" is none of its elements' values" },
		{ probe, "parameters.elements",
		  "code 48 (get separator element index) for parameter 2 \"Mode\", separator 1 answers 7 for an option of 3 elements" },
		{ probe, "frames.draws", "code 17 (process frame) left the host's cleared framebuffer untouched in 5 frames; expected it to draw" },
		{ Planted( "HandMadeExtraExport" ), "library.exports",
		  "1 more exported symbol (handMadeCounter); expected only plugMain and SetLogCallback: two plug-ins in one host may bind to "
		  "each other's symbols" },
		{ Planted( "HandMadeDefaultOutside" ), "parameters.initial-values",
		  "a new instance holds 1 for parameter 0 \"Level\", but 1.5 once code 8 (set parameter) sets the default 1.5 that code 6 "
		  "(get parameter default) reports" },
	};
	for( const auto& [ plugin, check, line ] : cases )
	{
		const Outcome outcome = RunCheck( plugin, check );
		EXPECT_EQ( outcome.status, Status::Warn ) << check << ": " << outcome.message;
		EXPECT_EQ( outcome.message, line );
	}
}

TEST( ValidateChecks, TheSameSeedFuzzesTheSameWay )
{
	const Outcome first = RunCheck( Planted( "PlantedNaN" ), "hostile.fuzz", 2, 11 ), again = RunCheck( Planted( "PlantedNaN" ), "hostile.fuzz", 2, 11 );
	EXPECT_EQ( first.status, Status::Fail );
	EXPECT_TRUE( std::regex_search( first.message, std::regex( R"(\(round \d+, step \d+, seed 11\))" ) ) ) << first.message;
	EXPECT_EQ( first.message, again.message );
	EXPECT_EQ( first.details, again.details );
	EXPECT_EQ( RunCheck( Planted( "Planted" ), "hostile.fuzz", 2, 11 ).status, Status::Pass );
	EXPECT_EQ( RunCheck( Planted( "Planted" ), "hostile.fuzz", 1, 11 ).status, Status::Skip );// no rounds at level 1
}

TEST( ValidateChecks, PassLinesSayWhatWasCovered )
{
	const std::pair< const char*, const char* > cases[] = {
		{ "library.exports", "exports exactly plugMain and SetLogCallback" },
		{ "identity.name", "name \"Planted\"" },
		{ "parameters.count", "4 parameters" },
		{ "lifecycle.lifetimes", "40 lifetimes leave no GL object alive; heap grew " },
		{ "frames.input-padding", "takes no input textures" },
		{ "hostile.texts", "empty, 64 KiB, non-UTF-8 and control-character texts on 1 text parameter(s)" },
	};
	for( const auto& [ check, line ] : cases )
	{
		const Outcome outcome = RunCheck( Planted( "Planted" ), check );
		EXPECT_NE( outcome.status, Status::Fail ) << check << ": " << outcome.message;
		EXPECT_EQ( outcome.message.substr( 0, std::strlen( line ) ), line ) << check;
	}
}

TEST( ValidateChecks, EveryRequestBetweenFramesIsInspected )
{
	const Outcome outcome = RunCheck( Planted( "HandMadeStateBetweenFrames" ), "host.gl-state" );
	EXPECT_EQ( outcome.status, Status::Fail );
	ExpectLines( outcome, {
		R"(after code 20 \(set time\), texture unit 3 is still active \(GL_ACTIVE_TEXTURE is GL_TEXTURE0 \+ 3\); expected unit 0)",
		R"(GL_INVALID_ENUM is pending after code 38 \(set beat info\); expected no GL error)",
		R"(after code 39 \(set host info\), framebuffer 0 is bound for drawing; expected the host's framebuffer \d+)",
		R"(after code 39 \(set host info\), framebuffer 0 is bound for reading; expected the host's framebuffer \d+)",
		R"(the requests between frames \(codes 8, 20, 38, 39, 40, 21, 22 and 46\) leave GL objects alive that grow with each round: 2 textures \(\d+, \d+\) more after 2 rounds; expected a steady count)",
	} );
}

// Findings about state are said once per key, whatever the rest of the
// line says (a value that differs from round to round).
TEST( ValidateChecks, StateFindingsAreSaidOncePerKey )
{
	const Outcome outcome = RunCheck( Planted( "Planted" ), []( Harness& h ) {
		h.UseGL();
		RenderTarget target( 4, 4 );
		target.Bind();
		Findings findings( h );
		for( const char* value : { "1", "2" } )
		{
			glActiveTexture( GL_TEXTURE2 );
			glEnable( 0xDEAD );
			const std::string after = std::string( "code 8 to " ) + value;
			CheckRestingState( findings, after, "code 8" );
			CheckHostFramebuffer( findings, after, target.Framebuffer() + 1, "code 8" );
			CheckNoGLError( h, findings, after, "code 8" );
		}
		glActiveTexture( GL_TEXTURE0 );
		CheckRestingState( findings, "code 20" );// another key, at rest
	} );
	ExpectLines( outcome, {
		R"(after code 8 to 1, texture unit 2 is still active \(GL_ACTIVE_TEXTURE is GL_TEXTURE0 \+ 2\); expected unit 0)",
		R"(after code 8 to 1, framebuffer \d+ is bound for drawing; expected the host's framebuffer \d+)",
		R"(after code 8 to 1, framebuffer \d+ is bound for reading; expected the host's framebuffer \d+)",
		R"(GL_INVALID_ENUM is pending after code 8 to 1; expected no GL error)",
	} );
}

// A plug-in may refuse instances until code 34 and again after code 2: the
// checks initialise as a host does, the library checks on their own.
TEST( ValidateChecks, InstancesComeAfterInitialising )
{
	for( const char* check : { "frames.draws", "instances.independent", "host.gl-state", "lifecycle.initialise",
							   "lifecycle.lifetimes", "library.separate-copies", "library.reload" } )
	{
		const Outcome outcome = RunCheck( Planted( "HandMadeNeedsInit" ), check );
		EXPECT_EQ( outcome.status, Status::Pass ) << check << ": " << outcome.message;
	}
}
}// namespace
