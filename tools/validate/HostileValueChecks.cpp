// Values no sane host sends, and random ones: nothing may crash, no NaN may
// be read back, and frames must still succeed. Refusing a value with the
// failure code is fine.
#include "Harness.h"

#include <EntryPointValues.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace plughost::validate
{
namespace
{
constexpr float kInf = std::numeric_limits< float >::infinity();

std::vector< float > SpecialValues( const Budget& budget )
{
	std::vector< float > values = { std::numeric_limits< float >::quiet_NaN(), kInf, -kInf, 1e30f, -1e30f, -1.0f, 2.0f,
									1e-40f, -1e-40f };
	if( budget.extraValues )
		values.insert( values.end(), { FLT_MAX, -FLT_MAX, FLT_MIN, -0.0f, 1e10f, -1e10f, 0.5f, 16777217.0f,
									   -std::numeric_limits< float >::quiet_NaN(), std::numeric_limits< float >::signaling_NaN() } );
	return values;
}

float FromBits( uint32_t bits )
{
	float value = 0.0f;
	std::memcpy( &value, &bits, sizeof value );
	return value;
}

class Hostile
{
public:
	Hostile( Harness& h ) : h( h ), instance( h.Instantiate( 64, 48 ) ), stage( h, 64, 48 ) {}
	~Hostile() { h.Destroy( instance ); }

	// Sets a value, reads every parameter back and asks for its display
	// text (read only by parameters.display); `context` ends the report.
	void Set( const Param& param, float value, const std::string& context )
	{
		const uint32_t answer = h.Set( *instance, param, value );
		if( answer != FF_SUCCESS && answer != FF_FAIL )
			Once( Status::Warn, Request( FF_SET_PARAMETER ) + " for " + param.Label() + " to " + Shown( value ) + " answers " +
									Answer( answer ) + "; expected success or failure" );
		last = Request( FF_SET_PARAMETER ) + " set " + param.Label() + " to " + Shown( value ) + context;
		ReadBack();
		h.Call( FF_GET_PARAMETER_DISPLAY, MixedU( param.index ), instance->Handle(), "for " + param.Label() + " after " + last );
	}
	void ReadBack()
	{
		for( const Param& other : h.Params() )
			if( other.known && !other.text )
				if( const float read = h.Get( *instance, other ); std::isnan( read ) )
					Once( Status::Fail, Request( FF_GET_PARAMETER ) + " for " + other.Label() + " answers NaN after " + last +
											"; expected no NaN ever to be read back" );
	}
	void Frame( const std::string& context = "" )
	{
		if( const uint32_t answer = stage.Frame( *instance, "after " + last + context ); answer != FF_SUCCESS )
			Once( Status::Fail, Request( FF_PROCESS_OPENGL ) + " answers " + Answer( answer ) + " after " + last + context +
									"; expected the frame to succeed" );
	}
	Instance& Target() { return *instance; }
	// Names the request the next findings follow.
	void After( const std::string& what ) { last = what; }
	void Resize( uint32_t width, uint32_t height )
	{
		FFGLViewportStruct viewport{ 0, 0, width, height };
		h.CallP( FF_RESIZE, &viewport, instance->Handle(), "to " + std::to_string( width ) + "x" + std::to_string( height ) );
		last = Request( FF_RESIZE ) + " to " + std::to_string( width ) + "x" + std::to_string( height );
	}
	void SetTime( double time, const std::string& shown )
	{
		h.CallP( FF_SET_TIME, &time, instance->Handle(), "to " + shown );
		last = Request( FF_SET_TIME ) + " to " + shown;
	}

	// A finding reported once per kind of request, so one fault does not
	// flood the report.
	void Once( Status status, const std::string& message )
	{
		const std::string key = message.substr( 0, std::min( message.find( " answers " ), message.find( " after " ) ) );
		if( std::find( reported.begin(), reported.end(), key ) != reported.end() )
			return;
		reported.push_back( key );
		status == Status::Fail ? h.Fail( message ) : h.Warn( message );
	}

private:
	Harness& h;
	std::unique_ptr< Instance > instance;
	Stage stage;
	std::string last;
	std::vector< std::string > reported;
};

void Floats( Harness& h )
{
	Hostile hostile( h );
	const auto values = SpecialValues( h.budget );
	std::size_t tried = 0;
	for( const Param& param : h.Params() )
	{
		if( !param.known || param.text )
			continue;
		for( float value : values )
		{
			hostile.Set( param, value, "" );
			hostile.Frame();
			++tried;
		}
		hostile.Set( param, param.defaultValue, " (its default)" );
	}
	h.Passed( std::to_string( tried ) + " special values: no crash, no NaN read back, every frame succeeds" );
}

void Fuzz( Harness& h )
{
	if( h.budget.fuzzRounds == 0 )
	{
		h.Skip( "no random rounds at level 1" );
		return;
	}
	std::vector< Param > numeric;
	for( const Param& param : h.Params() )
		if( param.known && !param.text )
			numeric.push_back( param );
	Hostile hostile( h );
	std::mt19937_64& random = h.Random();
	const auto specials     = SpecialValues( h.budget );
	for( uint32_t round = 1; round <= h.budget.fuzzRounds; ++round )
	{
		for( uint32_t step = 1; step <= h.budget.fuzzSteps; ++step )
		{
			const std::string where = " (round " + std::to_string( round ) + ", step " + std::to_string( step ) + ", seed " +
									  std::to_string( h.settings.seed ) + ")";
			switch( random() % 6 )
			{
			case 0:
			case 1:
				if( !numeric.empty() )
				{
					const Param& param = numeric[ random() % numeric.size() ];
					float value        = 0.0f;
					switch( random() % 3 )
					{
					case 0: value = specials[ random() % specials.size() ]; break;
					case 1: value = FromBits( static_cast< uint32_t >( random() ) ); break;
					default:
						value = param.minimum + std::uniform_real_distribution< float >( -0.5f, 1.5f )( random ) * ( param.maximum - param.minimum );
					}
					hostile.Set( param, value, where );
				}
				break;
			case 2:
			{
				const double times[] = { std::nan( "" ), -1.0, 1e300, -kInf, 0.0, 1e9 };
				const double time    = random() % 2 ? times[ random() % 6 ] : std::uniform_real_distribution< double >( 0.0, 1e6 )( random );
				hostile.SetTime( time, std::to_string( time ) );
				break;
			}
			case 3:
				hostile.Resize( 1 + static_cast< uint32_t >( random() % 300 ), 1 + static_cast< uint32_t >( random() % 300 ) );
				break;
			default:
				hostile.Frame( where );
			}
		}
		hostile.Resize( 64, 48 );
		hostile.Frame( " (end of round " + std::to_string( round ) + ", seed " + std::to_string( h.settings.seed ) + ")" );
	}
	h.Passed( std::to_string( h.budget.fuzzRounds ) + " random rounds of " + std::to_string( h.budget.fuzzSteps ) +
			  " requests (seed " + std::to_string( h.settings.seed ) + "): no crash, no NaN, every frame succeeds" );
}

void Texts( Harness& h )
{
	std::vector< Param > texts;
	for( const Param& param : h.Params() )
		if( param.known && param.text )
			texts.push_back( param );
	if( texts.empty() )
	{
		h.Skip( "has no text parameters" );
		return;
	}
	Hostile hostile( h );
	const std::pair< std::string, std::string > values[] = {
		{ "", "an empty text" },
		{ std::string( 65536, 'x' ), "a 64 KiB text" },
		{ "\xff\xfe\xc0\x80\xed\xa0\x80 \xf8\x88\x80\x80\x80", "a text that is not UTF-8" },
		{ "%s%n%x%%\\\"\n\t\x01\x7f", "a text of format and control characters" },
	};
	for( const Param& param : texts )
		for( const auto& [ value, shown ] : values )
		{
			const uint32_t answer = h.SetText( hostile.Target(), param, value, shown );
			if( answer != FF_SUCCESS && answer != FF_FAIL )
				h.Warn( Request( FF_SET_PARAMETER ) + " for " + param.Label() + " to " + shown + " answers " + Answer( answer ) );
			const std::string after = "after " + Request( FF_SET_PARAMETER ) + " set " + param.Label() + " to " + shown;
			const auto* read = static_cast< const char* >(
				h.Call( FF_GET_PARAMETER, MixedU( param.index ), hostile.Target().Handle(), "for " + param.Label() + " " + after ).PointerValue );
			if( !IsFailedPointer( read ) )
			{
				h.Step( "reading the text answered by " + Request( FF_GET_PARAMETER ) + " for " + param.Label() + " " + after );
				if( !ReadText( read, 1 << 20 ) )
					h.Fail( Request( FF_GET_PARAMETER ) + " for " + param.Label() + " answers a text with no NUL within 1 MiB " + after );
			}
			const auto* display = static_cast< const char* >(
				h.Call( FF_GET_PARAMETER_DISPLAY, MixedU( param.index ), hostile.Target().Handle(), "for " + param.Label() + " " + after ).PointerValue );
			if( !IsFailedPointer( display ) )
			{
				h.Step( "reading the text answered by " + Request( FF_GET_PARAMETER_DISPLAY ) + " for " + param.Label() + " " + after );
				if( !ReadText( display, 1 << 20 ) )
					h.Fail( Request( FF_GET_PARAMETER_DISPLAY ) + " for " + param.Label() + " answers a text with no NUL within 1 MiB " + after );
			}
			hostile.After( Request( FF_SET_PARAMETER ) + " set " + param.Label() + " to " + shown );
			hostile.Frame();
		}
	h.Passed( "empty, 64 KiB, non-UTF-8 and control-character texts on " + std::to_string( texts.size() ) + " text parameter(s)" );
}
}// namespace

void AddHostileValueChecks( std::vector< CheckSpec >& checks )
{
	const std::string g = "hostile";
	checks.push_back( { g, "floats", "NaN, +-inf, +-1e30, -1, 2 and denormals on every parameter: no crash, no NaN read back, frames succeed",
						Floats } );
	checks.push_back( { g, "fuzz", "random values, times, sizes and orders from --seed (more rounds at higher levels)", Fuzz } );
	checks.push_back( { g, "texts", "empty, 64 KiB and non-UTF-8 texts on text parameters", Texts } );
}
}// namespace plughost::validate
