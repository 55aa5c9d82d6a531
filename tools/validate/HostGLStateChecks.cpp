// The GL state after the requests a host sends between frames: parameter
// changes, time, beat, host info, sample rate, connections and events. A
// plug-in that draws or makes objects there must leave the host's state as
// it found it, with no frame in between to hide what it left.
#include "GLState.h"

#include <GLCensus.h>
#include <EntryPointValues.h>

namespace plughost::validate
{
namespace
{
// How often the requests are sent: one round to settle, then rounds whose
// live objects must not keep growing.
constexpr int kRounds = 3;

void GLStateBetweenFrames( Harness& h )
{
	auto instance = h.Instantiate( 64, 48 );
	Stage stage( h, 64, 48 );
	Findings findings( h );
	void* handle = instance->Handle();
	// The host's framebuffer bound, everything else at rest, nothing pending.
	auto atRest = [ & ] {
		Stage::Rest();
		stage.Target().Bind();
		h.PendingGLErrors();
	};
	// Said once per request and parameter, whatever the value and round.
	auto inspect = [ & ]( const std::string& after, const std::string& key ) {
		CheckRestingState( findings, after, key );
		CheckHostFramebuffer( findings, after, stage.Framebuffer(), key );
		CheckNoGLError( h, findings, after, key );
		atRest();
	};
	// Spare slots past the capacity: an overrun is host.events' finding and
	// must not corrupt the heap here.
	const uint32_t capacity = static_cast< uint32_t >( h.Params().size() ) + 2;
	std::vector< ParamEventStruct > events( capacity + 4 );
	auto round = [ & ]( int number ) {
		for( const Param& param : h.Params() )
		{
			if( param.text )
			{
				const std::string text = "round " + std::to_string( number );
				h.SetText( *instance, param, text, "\"" + text + "\"" );
				inspect( Request( FF_SET_PARAMETER ) + " on " + param.Label() + " to \"" + text + "\"", param.Label() );
			}
			else if( param.known )
			{
				// Another value each round, so a change is always made.
				const float value = number % 2 ? param.defaultValue : param.DistinctValue();
				h.Set( *instance, param, value );
				inspect( Request( FF_SET_PARAMETER ) + " on " + param.Label() + " to " + Shown( value ), param.Label() );
			}
		}
		const double time = 1.5 + number;
		h.CallP( FF_SET_TIME, &time, handle, "to " + Shown( static_cast< float >( time ) ) );
		inspect( Request( FF_SET_TIME ), "" );
		const SetBeatinfoStruct beat{ 120.0f, 0.25f };
		h.CallP( FF_SET_BEATINFO, &beat, handle, "with tempo 120 and bar phase 0.25" );
		inspect( Request( FF_SET_BEATINFO ), "" );
		const SetHostinfoStruct info{ "plughost", "1.0" };
		h.CallP( FF_SET_HOSTINFO, &info, handle, "with \"plughost\" and \"1.0\"" );
		inspect( Request( FF_SET_HOSTINFO ), "" );
		h.CallU( FF_SET_SAMPLERATE, 48000, handle, "to 48000" );
		inspect( Request( FF_SET_SAMPLERATE ), "" );
		for( uint32_t code : { FF_CONNECT, FF_DISCONNECT } )
		{
			h.CallU( code, 0, handle, "" );
			inspect( Request( code ), "" );
		}
		GetParamEventsStruct record{ capacity, events.data() };
		h.CallP( FF_GET_PARAMETER_EVENTS, &record, handle, "with capacity " + std::to_string( capacity ) );
		inspect( Request( FF_GET_PARAMETER_EVENTS ), "" );
	};
	atRest();
	h.Step( "marking the GL names handed out so far" );
	const GLNameMark mark = GLNameMark::Now();
	round( 0 );
	std::vector< GLCensus > censuses;
	for( int number = 1; number <= kRounds; ++number )
	{
		h.Step( "counting live GL objects" );
		censuses.push_back( GLCensus::Take( mark ) );
		if( number < kRounds )
			round( number );
	}
	bool growing = true;
	for( std::size_t i = 1; i < censuses.size(); ++i )
		growing = growing && censuses[ i ].Total() > censuses[ i - 1 ].Total();
	if( growing )
		h.Fail( "the requests between frames (codes 8, 20, 38, 39, 40, 21, 22 and 46) leave GL objects alive that grow with "
				"each round: " + censuses.back().Since( censuses.front() ).Describe() + " more after " +
				std::to_string( kRounds - 1 ) + " rounds; expected a steady count" );
	h.Destroy( instance );
	h.Passed( "codes 8, 20, 38, 39, 40, 21, 22 and 46 leave the bindings at rest, the host's framebuffer bound, no GL error "
			  "and no growing objects" );
}
}// namespace

void AddHostGLStateChecks( std::vector< CheckSpec >& checks )
{
	checks.push_back( { "host", "gl-state",
						"codes 8, 20, 38, 39, 40, 21, 22 and 46 without frames: resting bindings, the host's framebuffer, no GL "
						"error, no growing objects",
						GLStateBetweenFrames } );
}
}// namespace plughost::validate
