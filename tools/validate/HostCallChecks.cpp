// What a host tells an instance between frames, with odd values: time,
// beat, host info, sample rate, sizes; and the instance queries a host makes.
#include "Harness.h"

#include <GLCensus.h>
#include <EntryPointValues.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace plughost::validate
{
namespace
{
// An instance and a stage; Frame fails the check's line when a frame fails
// after `after`.
struct Rig
{
	explicit Rig( Harness& h ) : h( h ), instance( h.Instantiate( 64, 48 ) ), stage( h, 64, 48 ) {}
	~Rig() { h.Destroy( instance ); }
	void* Handle() const { return instance->Handle(); }
	void Expect( uint32_t code, uint32_t answer, const std::string& what, bool mayFail )
	{
		if( answer != FF_SUCCESS && !( mayFail && answer == FF_FAIL ) )
			h.Warn( Request( code ) + " " + what + " answers " + Answer( answer ) + "; expected " +
					( mayFail ? "success or failure" : "success" ) );
	}
	void Frame( const std::string& after )
	{
		if( const uint32_t answer = stage.Frame( *instance, "after " + after ); answer != FF_SUCCESS )
			h.Fail( Request( FF_PROCESS_OPENGL ) + " answers " + Answer( answer ) + " after " + after + "; expected success" );
	}

	Harness& h;
	std::unique_ptr< Instance > instance;
	Stage stage;
};

void Time( Harness& h )
{
	Rig rig( h );
	const double inf = std::numeric_limits< double >::infinity();
	const std::pair< double, const char* > times[] = {
		{ 0.0, "0" },     { 1.5, "1.5" },   { std::nan( "" ), "NaN" }, { -1.0, "-1" },       { -1e9, "-1e9" },
		{ 1e15, "1e15" }, { 1e300, "1e300" }, { inf, "inf" },          { -inf, "-inf" },     { DBL_MAX, "DBL_MAX" },
		{ 5e-324, "5e-324" }, { 10.0, "10" },
	};
	for( const auto& [ time, shown ] : times )
	{
		const std::string what = std::string( "to " ) + shown;
		rig.Expect( FF_SET_TIME, h.CallP( FF_SET_TIME, &time, rig.Handle(), what ), what, true );
		rig.Frame( Request( FF_SET_TIME ) + " " + what );
	}
	h.Passed( "NaN, negative, infinite and huge times; every frame succeeds" );
}

void Beat( Harness& h )
{
	Rig rig( h );
	const float nan = std::numeric_limits< float >::quiet_NaN(), inf = std::numeric_limits< float >::infinity();
	const SetBeatinfoStruct beats[] = { { 120.0f, 0.0f }, { nan, nan }, { 0.0f, 0.0f }, { -120.0f, -1.0f },
										{ 1e30f, 1e30f }, { inf, -inf }, { 1e-40f, 2.0f }, { 128.0f, 0.5f } };
	for( const SetBeatinfoStruct& beat : beats )
	{
		const std::string what = "with tempo " + Shown( beat.bpm ) + " and bar phase " + Shown( beat.barPhase );
		rig.Expect( FF_SET_BEATINFO, h.CallP( FF_SET_BEATINFO, &beat, rig.Handle(), what ), what, false );
		rig.Frame( Request( FF_SET_BEATINFO ) + " " + what );
	}
	h.Passed( "odd tempos and bar phases; every frame succeeds" );
}

void HostInfo( Harness& h )
{
	Rig rig( h );
	const std::string huge( 65536, 'h' ), odd = "\xff\xfe\xc0\x80 host";
	const std::tuple< const char*, const char*, const char* > infos[] = {
		{ "plughost", "1.0", "\"plughost\" and \"1.0\"" },
		{ "", "", "empty texts" },
		{ nullptr, nullptr, "null texts" },
		{ huge.c_str(), odd.c_str(), "a 64 KiB text and a text that is not UTF-8" },
	};
	for( const auto& [ name, version, shown ] : infos )
	{
		SetHostinfoStruct record{ name, version };
		const std::string what = std::string( "with " ) + shown;
		rig.Expect( FF_SET_HOSTINFO, h.CallP( FF_SET_HOSTINFO, &record, rig.Handle(), what ), what, false );
		rig.Frame( Request( FF_SET_HOSTINFO ) + " " + what );
	}
	h.Passed( "empty, null, long and non-UTF-8 host texts; every frame succeeds" );
}

void SampleRate( Harness& h )
{
	Rig rig( h );
	for( uint32_t rate : { 0u, 1u, 44100u, 192000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 48000u } )
	{
		const std::string what = "to " + std::to_string( rate );
		rig.Expect( FF_SET_SAMPLERATE, h.CallU( FF_SET_SAMPLERATE, rate, rig.Handle(), what ), what, false );
		rig.Frame( Request( FF_SET_SAMPLERATE ) + " " + what );
	}
	h.Passed( "sample rates from 0 to 4294967295; every frame succeeds" );
}

void Resize( Harness& h )
{
	Rig rig( h );
	rig.Frame( "instantiating" );
	const bool drew = !rig.stage.Untouched();
	auto resize = [ & ]( uint32_t width, uint32_t height ) {
		FFGLViewportStruct viewport{ 0, 0, width, height };
		const std::string what = "to " + std::to_string( width ) + "x" + std::to_string( height );
		rig.Expect( FF_RESIZE, h.CallP( FF_RESIZE, &viewport, rig.Handle(), what ), what, true );
		return Request( FF_RESIZE ) + " " + what;
	};
	for( const auto& [ width, height ] : { std::pair{ 0u, 0u }, std::pair{ 0u, 48u }, std::pair{ 64u, 0u } } )
	{
		resize( width, height );
		const std::string back = resize( 64, 48 ) + " after one to " + std::to_string( width ) + "x" + std::to_string( height );
		rig.Frame( back );
		if( drew && rig.stage.Untouched() )
			h.Fail( Request( FF_PROCESS_OPENGL ) + " draws nothing after " + back + "; before, it drew" );
	}
	for( const auto& [ width, height ] : { std::pair{ 1u, 1u }, std::pair{ 4097u, 7u }, std::pair{ 64u, 48u } } )
	{
		const std::string what = resize( width, height );
		Stage sized( h, width, height );
		if( const uint32_t answer = sized.Frame( *rig.instance, "after " + what ); answer != FF_SUCCESS )
			h.Fail( Request( FF_PROCESS_OPENGL ) + " answers " + Answer( answer ) + " after " + what + "; expected success" );
	}
	// Objects remade at each size must not pile up. Frames alone first: if
	// they pile up objects, that is frames.object-growth's finding.
	Stage large( h, 100, 80 );
	auto cycle = [ & ]( bool resizing ) {
		for( int i = 0; i < 3; ++i )
		{
			large.Frame( *rig.instance, resizing ? "after " + resize( 100, 80 ) : "" );
			rig.Frame( resizing ? resize( 64, 48 ) : "frames" );
		}
		Stage::Rest();
		h.Step( "counting live GL objects" );
		return GLCensus::Take().Total();
	};
	const std::size_t plain[] = { cycle( false ), cycle( false ), cycle( false ) };
	if( plain[ 1 ] <= plain[ 0 ] || plain[ 2 ] <= plain[ 1 ] )
	{
		Stage::Rest();
		const GLCensus before = GLCensus::Take();
		const std::size_t sized[] = { cycle( true ), cycle( true ), cycle( true ) };
		if( sized[ 1 ] > sized[ 0 ] && sized[ 2 ] > sized[ 1 ] )
			h.Fail( Request( FF_RESIZE ) + " between 100x80 and 64x48, with frames, leaves GL objects alive that grow with each resize: " +
					GLCensus::Take().Since( before ).Describe() + "; expected a steady count" );
	}
	h.Passed( "resized to 0x0 and back, to 1x1 and to 4097x7; frames succeed and draw; no objects pile up" );
}

void Events( Harness& h )
{
	Rig rig( h );
	const uint32_t params = static_cast< uint32_t >( h.Params().size() );
	GetParamEventsStruct count{ 0, nullptr };
	if( h.CallP( FF_GET_PARAMETER_EVENTS, &count, rig.Handle(), "with no array (the pending count)" ) != FF_SUCCESS )
		h.Abort( Request( FF_GET_PARAMETER_EVENTS ) + " with no array answered failure; expected success and the pending count" );
	if( count.numEvents > params )
		h.Fail( Request( FF_GET_PARAMETER_EVENTS ) + " reports " + std::to_string( count.numEvents ) + " pending events for " +
				std::to_string( params ) + " parameters; expected at most one per parameter" );
	// Guard slots after the array catch writes beyond the capacity.
	for( uint32_t capacity : { 0u, params + 2 } )
	{
		constexpr uint32_t kGuard = 4;
		std::vector< ParamEventStruct > events( capacity + kGuard, ParamEventStruct{ 0xA5A5A5A5u, 0xA5A5A5A5A5A5A5A5ull } );
		GetParamEventsStruct record{ capacity, events.data() };
		const std::string what = "with capacity " + std::to_string( capacity );
		if( h.CallP( FF_GET_PARAMETER_EVENTS, &record, rig.Handle(), what ) != FF_SUCCESS )
			h.Fail( Request( FF_GET_PARAMETER_EVENTS ) + " " + what + " answered failure; expected success" );
		if( record.numEvents > capacity )
			h.Fail( Request( FF_GET_PARAMETER_EVENTS ) + " " + what + " reports " + std::to_string( record.numEvents ) + " events written" );
		for( uint32_t i = 0; i < std::min( record.numEvents, capacity ); ++i )
			if( events[ i ].ParameterNumber >= params )
				h.Fail( Request( FF_GET_PARAMETER_EVENTS ) + " " + what + " delivers an event for parameter " +
						std::to_string( events[ i ].ParameterNumber ) + "; there are " + std::to_string( params ) );
		for( uint32_t i = capacity; i < events.size(); ++i )
			if( events[ i ].ParameterNumber != 0xA5A5A5A5u || events[ i ].eventFlags != 0xA5A5A5A5A5A5A5A5ull )
			{
				h.Fail( Request( FF_GET_PARAMETER_EVENTS ) + " " + what + " wrote beyond the capacity of the host's array" );
				break;
			}
	}
	GetParamEventsStruct left{ 0, nullptr };
	h.CallP( FF_GET_PARAMETER_EVENTS, &left, rig.Handle(), "with no array after consuming every event" );
	if( left.numEvents != 0 )
		h.Fail( Request( FF_GET_PARAMETER_EVENTS ) + " still reports " + std::to_string( left.numEvents ) +
				" pending events after they were all delivered; expected 0" );
	rig.Frame( Request( FF_GET_PARAMETER_EVENTS ) );
	h.Passed( "pending counts and deliveries stay within the host's array" );
}

void InputStatus( Harness& h )
{
	Rig rig( h );
	const uint32_t maximum = h.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_MAXIMUM_INPUT_FRAMES, nullptr, "for the maximum inputs" );
	const uint32_t inputs  = maximum == FF_FAIL ? 0 : std::min( maximum, 64u );
	for( uint32_t i = 0; i < inputs; ++i )
		if( const uint32_t answer = h.CallU( FF_GET_INPUT_STATUS, i, rig.Handle(), "for input " + std::to_string( i ) ); answer > 1 )
			h.Fail( Request( FF_GET_INPUT_STATUS ) + " for input " + std::to_string( i ) + " of " + std::to_string( inputs ) +
					" answers " + Answer( answer ) + "; expected 1 (in use) or 0" );
	for( uint32_t i : { inputs, inputs + 1, 0xFFFFFFFFu } )
		if( const uint32_t answer = h.CallU( FF_GET_INPUT_STATUS, i, rig.Handle(), "for input " + std::to_string( i ) + " (beyond the maximum)" );
			answer != FF_FAIL )
			h.Fail( Request( FF_GET_INPUT_STATUS ) + " for input " + std::to_string( i ) + " beyond the maximum of " +
					std::to_string( inputs ) + " answers " + Answer( answer ) + "; expected failure" );
	h.Passed( "input status answers for every input and fails beyond the maximum" );
}

void EnableCapability( Harness& h )
{
	Rig rig( h );
	const bool topLeft = h.CallU( FF_GET_PLUGIN_CAPS, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, nullptr, "for capability 16" ) == FF_SUPPORTED;
	for( uint32_t capability : { 0u, 5u, 10u, 11u, 99u, 0xFFFFFFFFu } )
		if( const uint32_t answer = h.CallU( FF_ENABLE_PLUGIN_CAP, capability, rig.Handle(), "for capability " + std::to_string( capability ) );
			answer != FF_FAIL )
			h.Fail( Request( FF_ENABLE_PLUGIN_CAP ) + " for capability " + std::to_string( capability ) + " answers " +
					Answer( answer ) + "; expected failure: only capability 16 can be enabled" );
	const uint32_t answer = h.CallU( FF_ENABLE_PLUGIN_CAP, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION, rig.Handle(), "for capability 16" );
	if( answer != ( topLeft ? FF_SUCCESS : FF_FAIL ) )
		h.Fail( Request( FF_ENABLE_PLUGIN_CAP ) + " for capability 16 answers " + Answer( answer ) + " while " +
				Request( FF_GET_PLUGIN_CAPS ) + " reports it " + ( topLeft ? "supported" : "unsupported" ) + "; expected " +
				( topLeft ? "success" : "failure" ) );
	rig.Frame( Request( FF_ENABLE_PLUGIN_CAP ) );
	h.Passed( std::string( "only capability 16 can be enabled, and only when supported (it is " ) + ( topLeft ? "" : "not " ) + "supported)" );
}
}// namespace

void AddHostCallChecks( std::vector< CheckSpec >& checks )
{
	const std::string g = "host";
	checks.push_back( { g, "time", "code 20 with NaN, negative, infinite and huge times, then frames", Time } );
	checks.push_back( { g, "beat", "code 38 with odd tempos and bar phases, then frames", Beat } );
	checks.push_back( { g, "host-info", "code 39 with empty, null, 64 KiB and non-UTF-8 texts, then frames", HostInfo } );
	checks.push_back( { g, "sample-rate", "code 40 with rates from 0 to 4294967295, then frames", SampleRate } );
	checks.push_back( { g, "resize", "code 23 to 0x0 and back, to 1x1 and 4097x7, then frames", Resize } );
	checks.push_back( { g, "events", "code 46 reports and delivers events within the host's array", Events } );
	checks.push_back( { g, "input-status", "code 16 answers 1 or 0 below the maximum inputs and failure beyond", InputStatus } );
	checks.push_back( { g, "enable-capability", "code 49 enables only capability 16, and only when code 10 supports it", EnableCapability } );
}
}// namespace plughost::validate
