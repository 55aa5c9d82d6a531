// Parameter descriptions and the answers for indices that name no parameter.
#include "Harness.h"

#include <EntryPointValues.h>

#include <cmath>
#include <cstring>
#include <map>

namespace plughost::validate
{
namespace
{
constexpr uint32_t kKnownTypes[] = { 0, 1, 2, 3, 4, 10, 11, 12, 13, 14, 100, 200, 201, 202, 203 };

std::string For( const Param& param )
{
	return "for " + param.Label();
}

std::string Range( float minimum, float maximum )
{
	return Shown( minimum ) + " .. " + Shown( maximum );
}

// The parameters whose type is known: the others are judged by types.
std::vector< Param > Typed( Harness& h )
{
	std::vector< Param > typed;
	for( const Param& param : h.Params() )
		if( param.known )
			typed.push_back( param );
	return typed;
}

void Count( Harness& h )
{
	const uint32_t count = h.CallU( FF_GET_NUM_PARAMETERS, 0, nullptr, "" );
	if( count == FF_FAIL )
		h.Abort( Request( FF_GET_NUM_PARAMETERS ) + " answered failure; expected the number of parameters" );
	if( count > 1024 )
		h.Warn( Request( FF_GET_NUM_PARAMETERS ) + " answers " + std::to_string( count ) + " parameters; hosts expect a handful" );
	if( const uint32_t again = h.CallU( FF_GET_NUM_PARAMETERS, 0, nullptr, "a second time" ); again != count )
		h.Fail( Request( FF_GET_NUM_PARAMETERS ) + " answers " + std::to_string( count ) + ", then " + std::to_string( again ) +
				"; expected the same count" );
	h.Passed( std::to_string( count ) + " parameters" );
}

void Names( Harness& h )
{
	const uint32_t count = static_cast< uint32_t >( h.Params().size() );
	std::map< std::string, uint32_t > seen;
	for( uint32_t i = 0; i < count; ++i )
	{
		const std::string of = "for parameter " + std::to_string( i );
		const auto* name = static_cast< const char* >( h.Call( FF_GET_PARAMETER_NAME, MixedU( i ), nullptr, of ).PointerValue );
		if( IsFailedPointer( name ) )
		{
			h.Fail( Request( FF_GET_PARAMETER_NAME ) + " " + of + " answered failure; expected its name" );
			continue;
		}
		h.Step( "reading the name answered by " + Request( FF_GET_PARAMETER_NAME ) + " " + of );
		const auto text = ReadText( name, 4096 );
		if( !text )
			h.Fail( Request( FF_GET_PARAMETER_NAME ) + " " + of + " answers a text with no NUL within 4096 bytes" );
		else if( text->empty() )
			h.Fail( Request( FF_GET_PARAMETER_NAME ) + " " + of + " answers an empty name; expected a name" );
		else if( const auto [ at, fresh ] = seen.emplace( *text, i ); !fresh )
			h.Warn( "parameters " + std::to_string( at->second ) + " and " + std::to_string( i ) + " are both called \"" +
					*text + "\"; hosts and users tell parameters apart by name" );
	}
	h.Passed( std::to_string( count ) + " named parameters" );
}

void Types( Harness& h )
{
	for( const Param& param : h.Params() )
	{
		const uint32_t type = param.type;
		if( std::find( std::begin( kKnownTypes ), std::end( kKnownTypes ), type ) == std::end( kKnownTypes ) )
		{
			h.Fail( Request( FF_GET_PARAMETER_TYPE ) + " " + For( param ) + " answers " +
					Answer( type ) +
					"; expected a known type (0-4, 10-14, 100, 200-203)" );
			continue;
		}
		const uint32_t usage = h.CallU( FF_GET_PARAMETER_USAGE, param.index, nullptr, For( param ) );
		if( usage == FF_FAIL )
			h.Fail( Request( FF_GET_PARAMETER_USAGE ) + " " + For( param ) + " answered failure; expected 0 or 1" );
		else if( usage > FF_USAGE_FFT || ( usage == FF_USAGE_FFT && type != FF_TYPE_BUFFER ) )
			h.Warn( Request( FF_GET_PARAMETER_USAGE ) + " " + For( param ) + " answers usage " + std::to_string( usage ) +
					" for type " + std::to_string( type ) + "; expected 0, or 1 for a buffer" );
		const uint32_t visible = h.CallU( FF_GET_PARAMETER_VISIBILITY, param.index, nullptr, For( param ) );
		if( visible > 1 )
			h.Fail( Request( FF_GET_PARAMETER_VISIBILITY ) + " " + For( param ) + " answers " +
					Answer( visible ) + "; expected 1 or 0" );
	}
	h.Passed( "every type is known; usage and visibility answer as expected" );
}

void Defaults( Harness& h )
{
	for( const Param& param : Typed( h ) )
	{
		const FFMixed answer = h.Call( FF_GET_PARAMETER_DEFAULT, MixedU( param.index ), nullptr, For( param ) );
		if( param.text )
		{
			const auto* text = static_cast< const char* >( answer.PointerValue );
			if( IsFailedPointer( text ) )
				h.Fail( Request( FF_GET_PARAMETER_DEFAULT ) + " " + For( param ) + " answered failure; expected its default text" );
			else if( h.Step( "reading the default text " + For( param ) ), !ReadText( text, 1 << 20 ) )
				h.Fail( Request( FF_GET_PARAMETER_DEFAULT ) + " " + For( param ) + " answers a text with no NUL within 1 MiB" );
			continue;
		}
		const float value = answer.FloatValue;
		if( answer.UIntValue == FF_FAIL )
			h.Fail( Request( FF_GET_PARAMETER_DEFAULT ) + " " + For( param ) + " answered failure; expected its default" );
		else if( !std::isfinite( value ) )
			h.Fail( Request( FF_GET_PARAMETER_DEFAULT ) + " " + For( param ) + " answers " + Shown( value ) +
					"; expected a finite default" );
		else if( param.type == FF_TYPE_OPTION && !param.elementValues.empty() &&
				 std::find( param.elementValues.begin(), param.elementValues.end(), value ) == param.elementValues.end() )
			h.Warn( "the default " + Shown( value ) + " " + For( param ) + " is none of its elements' values" );
		else if( param.type != FF_TYPE_OPTION && ( value < param.minimum || value > param.maximum ) )
		{
			const std::string message = "the default " + Shown( value ) + " " + For( param ) + " (" + Request( FF_GET_PARAMETER_DEFAULT ) +
										") lies outside the range " + Range( param.minimum, param.maximum ) + " that " +
										Request( FF_GET_RANGE ) + " reports";
			param.type == FF_TYPE_STANDARD ? h.Fail( message ) : h.Warn( message );
		}
	}
	h.Passed( "every default lies within its range" );
}

void Ranges( Harness& h )
{
	for( const Param& param : Typed( h ) )
	{
		if( param.text )
			continue;
		RangeStruct range{ param.index, -7.0f, 7.0f };
		if( h.CallP( FF_GET_RANGE, &range, nullptr, For( param ) ) != FF_SUCCESS )
			h.Fail( Request( FF_GET_RANGE ) + " " + For( param ) + " answered failure; expected its range" );
		else if( !std::isfinite( range.min ) || !std::isfinite( range.max ) || range.min > range.max )
			h.Fail( Request( FF_GET_RANGE ) + " " + For( param ) + " answers " + Range( range.min, range.max ) +
					"; expected finite bounds, the minimum first" );
	}
	h.Passed( "every numeric parameter has a finite range" );
}

std::optional< std::string > ElementText( Harness& h, uint32_t code, const Param& param, uint32_t element )
{
	GetParameterElementStruct query{ param.index, element };
	const std::string what = For( param ) + ", index " + std::to_string( element );
	const auto* text = static_cast< const char* >( h.Call( code, MixedP( &query ), nullptr, what ).PointerValue );
	if( IsFailedPointer( text ) )
	{
		h.Fail( Request( code ) + " " + what + " answered failure; expected a text" );
		return std::nullopt;
	}
	h.Step( "reading the text answered by " + Request( code ) + " " + what );
	const auto read = ReadText( text, 4096 );
	if( !read )
		h.Fail( Request( code ) + " " + what + " answers a text with no NUL within 4096 bytes" );
	return read;
}

void Elements( Harness& h )
{
	for( const Param& param : Typed( h ) )
	{
		if( param.type == FF_TYPE_OPTION )
		{
			const uint32_t count = h.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, param.index, nullptr, For( param ) );
			if( count == FF_FAIL || count == 0 || count > 4096 )
			{
				h.Fail( Request( FF_GET_NUM_PARAMETER_ELEMENTS ) + " " + For( param ) + " answers " +
						Answer( count ) +
						"; expected an option to have from 1 to 4096 elements" );
				continue;
			}
			for( uint32_t e = 0; e < count; ++e )
			{
				const auto name = ElementText( h, FF_GET_PARAMETER_ELEMENT_NAME, param, e );
				if( name && name->empty() )
					h.Warn( Request( FF_GET_PARAMETER_ELEMENT_NAME ) + " " + For( param ) + ", element " + std::to_string( e ) +
							" answers an empty name" );
				GetParameterElementStruct query{ param.index, e };
				const FFMixed value = h.Call( FF_GET_PARAMETER_ELEMENT_VALUE, MixedP( &query ), nullptr,
											  For( param ) + ", element " + std::to_string( e ) );
				if( value.UIntValue == FF_FAIL || !std::isfinite( value.FloatValue ) )
					h.Fail( Request( FF_GET_PARAMETER_ELEMENT_VALUE ) + " " + For( param ) + ", element " + std::to_string( e ) +
							" answers " + ( value.UIntValue == FF_FAIL ? "failure" : Shown( value.FloatValue ) ) +
							"; expected a finite value" );
			}
			const uint32_t separators = h.CallU( FF_GET_NUM_ELEMENT_SEPARATORS, param.index, nullptr, For( param ) );
			for( uint32_t s = 0; s < std::min( separators, 4096u ); ++s )
			{
				GetParameterElementStruct query{ param.index, s };
				const uint32_t at = h.CallP( FF_GET_SEPARATOR_ELEMENT_INDEX, &query, nullptr, For( param ) + ", separator " + std::to_string( s ) );
				if( at == FF_FAIL || at > count )
					h.Warn( Request( FF_GET_SEPARATOR_ELEMENT_INDEX ) + " " + For( param ) + ", separator " + std::to_string( s ) +
							" answers " + Answer( at ) + " for an option of " +
							std::to_string( count ) + " elements" );
			}
		}
		if( param.type == FF_TYPE_FILE )
		{
			const uint32_t count = h.CallU( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, param.index, nullptr, For( param ) );
			if( count == FF_FAIL || count > 4096 )
				h.Fail( Request( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS ) + " " + For( param ) + " answers " +
						Answer( count ) + "; expected a count" );
			else
				for( uint32_t x = 0; x < count; ++x )
					ElementText( h, FF_GET_FILE_PARAMETER_EXTENSION, param, x );
		}
	}
	h.Passed( "option elements have names and values; file extensions are texts" );
}

// Codes 50 and 51 copy into the host's buffer: never beyond its capacity.
void CheckTextQuery( Harness& h, uint32_t code, const Param& param, void* instance, bool registered )
{
	constexpr std::size_t kGuard = 32;
	for( uint32_t capacity : { 256u, 3u, 1u, 0u } )
	{
		std::vector< uint8_t > buffer( capacity + kGuard, capacity == 256 ? 0 : 0xA5 );
		GetStringStruct query{};
		query.parameterNumber         = param.index;
		query.stringBuffer.address    = reinterpret_cast< char* >( buffer.data() );
		query.stringBuffer.maxToWrite = capacity;
		const std::string what = For( param ) + " with capacity " + std::to_string( capacity );
		const uint32_t answer  = h.CallP( code, &query, instance, what );
		for( std::size_t i = capacity; i < buffer.size(); ++i )
			if( buffer[ i ] != ( capacity == 256 ? 0 : 0xA5 ) )
			{
				h.Fail( Request( code ) + " " + what + " wrote beyond the capacity into the host's buffer" );
				return;
			}
		if( capacity == 0 && answer != FF_FAIL )
			h.Fail( Request( code ) + " " + what + " answers " + Answer( answer ) + "; expected failure" );
		if( capacity == 256 && answer != FF_SUCCESS )
			h.Fail( Request( code ) + " " + what + " answered failure; expected success" );
		if( capacity == 256 && !registered && buffer[ 0 ] != 0 )
			h.Fail( Request( code ) + " " + what + " copied \"" + ReadText( reinterpret_cast< char* >( buffer.data() ), 256 ).value_or( "" ) +
					"\" for a parameter that does not exist; expected an empty text" );
	}
}

void TextQueries( Harness& h )
{
	auto instance = h.Instantiate( 64, 48 );
	for( const Param& param : h.Params() )
	{
		CheckTextQuery( h, FF_GET_PARAM_GROUP, param, nullptr, true );
		CheckTextQuery( h, FF_GET_PARAM_DISPLAY_NAME, param, instance->Handle(), true );
	}
	h.Destroy( instance );
	h.Passed( "codes 50 and 51 answer within the host's capacity" );
}

void InitialValues( Harness& h )
{
	auto instance = h.Instantiate( 64, 48 );
	for( const Param& param : Typed( h ) )
	{
		if( param.text )
		{
			const auto* text = static_cast< const char* >(
				h.Call( FF_GET_PARAMETER, MixedU( param.index ), instance->Handle(), For( param ) ).PointerValue );
			if( IsFailedPointer( text ) )
				continue;
			h.Step( "reading the text answered by " + Request( FF_GET_PARAMETER ) + " " + For( param ) );
			const auto value = ReadText( text, 1 << 20 );
			if( !value )
				h.Fail( Request( FF_GET_PARAMETER ) + " " + For( param ) + " answers a text with no NUL within 1 MiB" );
			else if( *value != param.defaultText )
				h.Warn( "a new instance holds \"" + *value + "\" " + For( param ) + "; " + Request( FF_GET_PARAMETER_DEFAULT ) +
						" reports the default \"" + param.defaultText + "\"" );
			continue;
		}
		const float value = h.Get( *instance, param );
		if( std::isnan( value ) )
		{
			h.Fail( Request( FF_GET_PARAMETER ) + " " + For( param ) + " answers NaN on a new instance" );
			continue;
		}
		if( std::fabs( value - param.defaultValue ) <= 1e-5f * std::max( 1.0f, std::fabs( param.defaultValue ) ) )
			continue;
		// A plug-in may store a value in its own form (snapped, rounded); it
		// only misleads a host when setting the default gives another value.
		h.Set( *instance, param, param.defaultValue );
		if( const float set = h.Get( *instance, param ); !SameValue( set, value ) )
			h.Warn( "a new instance holds " + Shown( value ) + " " + For( param ) + ", but " + Shown( set ) + " once " +
					Request( FF_SET_PARAMETER ) + " sets the default " + Shown( param.defaultValue ) + " that " +
					Request( FF_GET_PARAMETER_DEFAULT ) + " reports" );
	}
	h.Destroy( instance );
	h.Passed( "a new instance holds every default" );
}

void Display( Harness& h )
{
	auto instance = h.Instantiate( 64, 48 );
	for( const Param& param : Typed( h ) )
	{
		std::vector< std::pair< float, std::string > > values;
		if( param.text )
			values.push_back( { 0.0f, "a text" } );
		else
			for( float value : { param.defaultValue, param.minimum, param.maximum, param.DistinctValue(), 1e8f, -1e8f, 0.1234567f } )
				values.push_back( { value, Shown( value ) } );
		bool warned = false;
		for( const auto& [ value, shown ] : values )
		{
			if( param.text )
				h.SetText( *instance, param, "display me", "\"display me\"" );
			else
				h.Set( *instance, param, value );
			const std::string what = For( param ) + " at " + shown;
			const auto* text = static_cast< const char* >(
				h.Call( FF_GET_PARAMETER_DISPLAY, MixedU( param.index ), instance->Handle(), what ).PointerValue );
			if( IsFailedPointer( text ) )
			{
				// For a text parameter this means "no display" and is never read.
				if( !param.text && !warned )
					h.Warn( Request( FF_GET_PARAMETER_DISPLAY ) + " " + what + " answers no text" );
				warned = true;
				continue;
			}
			h.Step( "reading the text answered by " + Request( FF_GET_PARAMETER_DISPLAY ) + " " + what );
			const std::size_t limit = param.text ? ( 1u << 20 ) : 15;
			if( !ReadText( text, limit ) )
			{
				h.Fail( Request( FF_GET_PARAMETER_DISPLAY ) + " " + what + " answers " +
						( param.text ? std::string( "a text with no NUL within 1 MiB" )
									 : "16 bytes with no NUL (\"" + std::string( text, 16 ) + "\"); expected a text that ends within 16 bytes" ) );
				break;
			}
		}
		if( param.text )
			h.SetText( *instance, param, param.defaultText, "its default" );
		else
			h.Set( *instance, param, param.defaultValue );
	}
	h.Destroy( instance );
	h.Passed( "every display text ends within 16 bytes" );
}

// Indices that name no parameter, for a plug-in with `count` of them.
std::vector< uint32_t > Unregistered( uint32_t count )
{
	return { count, count + 1, count + 100, 0x7FFFFFFFu, 0xFFFFFFFFu };
}

void ExpectU( Harness& h, uint32_t code, uint32_t answer, uint32_t expected, const std::string& what )
{
	if( answer != expected )
		h.Fail( Request( code ) + " " + what + " answers " + Answer( answer ) +
				"; expected " + Answer( expected ) );
}

void ExpectNull( Harness& h, uint32_t code, const void* answer, const std::string& what )
{
	if( !IsFailedPointer( answer ) )
		h.Fail( Request( code ) + " " + what + " answers a pointer; expected null" );
}

void UnregisteredQueries( Harness& h )
{
	const uint32_t count = static_cast< uint32_t >( h.Params().size() );
	for( uint32_t index : Unregistered( count ) )
	{
		const std::string what = "for unregistered parameter " + std::to_string( index );
		GetParameterElementStruct element{ index, 0 };
		ExpectNull( h, FF_GET_PARAMETER_NAME, h.Call( FF_GET_PARAMETER_NAME, MixedU( index ), nullptr, what ).PointerValue, what );
		ExpectU( h, FF_GET_PARAMETER_DEFAULT, h.CallU( FF_GET_PARAMETER_DEFAULT, index, nullptr, what ), FF_FAIL, what );
		ExpectU( h, FF_GET_PARAMETER_TYPE, h.CallU( FF_GET_PARAMETER_TYPE, index, nullptr, what ), FF_FAIL, what );
		ExpectU( h, FF_GET_PARAMETER_USAGE, h.CallU( FF_GET_PARAMETER_USAGE, index, nullptr, what ), FF_FAIL, what );
		ExpectU( h, FF_GET_NUM_PARAMETER_ELEMENTS, h.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, index, nullptr, what ), FF_FAIL, what );
		ExpectNull( h, FF_GET_PARAMETER_ELEMENT_NAME, h.Call( FF_GET_PARAMETER_ELEMENT_NAME, MixedP( &element ), nullptr, what ).PointerValue, what );
		ExpectU( h, FF_GET_PARAMETER_ELEMENT_VALUE, h.CallP( FF_GET_PARAMETER_ELEMENT_VALUE, &element, nullptr, what ), FF_FAIL, what );
		ExpectU( h, FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, h.CallU( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, index, nullptr, what ), 0, what );
		ExpectNull( h, FF_GET_FILE_PARAMETER_EXTENSION, h.Call( FF_GET_FILE_PARAMETER_EXTENSION, MixedP( &element ), nullptr, what ).PointerValue, what );
		ExpectU( h, FF_GET_PARAMETER_VISIBILITY, h.CallU( FF_GET_PARAMETER_VISIBILITY, index, nullptr, what ), FF_FAIL, what );
		ExpectU( h, FF_GET_NUM_ELEMENT_SEPARATORS, h.CallU( FF_GET_NUM_ELEMENT_SEPARATORS, index, nullptr, what ), 0, what );
		ExpectU( h, FF_GET_SEPARATOR_ELEMENT_INDEX, h.CallP( FF_GET_SEPARATOR_ELEMENT_INDEX, &element, nullptr, what ), FF_FAIL, what );
		RangeStruct range{ index, -7.0f, 7.0f };
		const uint32_t answer = h.CallP( FF_GET_RANGE, &range, nullptr, what );
		if( answer != FF_SUCCESS || range.min != 0.0f || range.max != 1.0f )
			h.Fail( Request( FF_GET_RANGE ) + " " + what + " answers " + ( answer == FF_SUCCESS ? "success" : "failure" ) + " with " +
					Range( range.min, range.max ) + "; expected success with 0 .. 1" );
		Param unregistered;
		unregistered.index = index;
		CheckTextQuery( h, FF_GET_PARAM_GROUP, unregistered, nullptr, false );
	}
	h.Passed( "every plug-in-wide query for an unregistered index answers as for no parameter" );
}

void UnregisteredInstanceQueries( Harness& h )
{
	const uint32_t count = static_cast< uint32_t >( h.Params().size() );
	auto instance = h.Instantiate( 64, 48 );
	void* handle  = instance->Handle();
	const std::vector< float > before = h.Values( *instance );
	for( uint32_t index : Unregistered( count ) )
	{
		const std::string what = "for unregistered parameter " + std::to_string( index ) + " on an instance";
		GetParameterElementStruct element{ index, 0 };
		ExpectNull( h, FF_GET_PARAMETER_DISPLAY, h.Call( FF_GET_PARAMETER_DISPLAY, MixedU( index ), handle, what ).PointerValue, what );
		SetParameterStruct record{};
		record.ParameterNumber   = index;
		record.NewParameterValue = MixedF( 0.5f );
		ExpectU( h, FF_SET_PARAMETER, h.CallP( FF_SET_PARAMETER, &record, handle, what + " to 0.5" ), FF_FAIL, what );
		h.Call( FF_GET_PARAMETER, MixedU( index ), handle, what );
		ExpectU( h, FF_GET_NUM_PARAMETER_ELEMENTS, h.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, index, handle, what ), FF_FAIL, what );
		ExpectNull( h, FF_GET_PARAMETER_ELEMENT_NAME, h.Call( FF_GET_PARAMETER_ELEMENT_NAME, MixedP( &element ), handle, what ).PointerValue, what );
		ExpectU( h, FF_GET_PARAMETER_ELEMENT_VALUE, h.CallP( FF_GET_PARAMETER_ELEMENT_VALUE, &element, handle, what ), FF_FAIL, what );
		ExpectU( h, FF_GET_PARAMETER_VISIBILITY, h.CallU( FF_GET_PARAMETER_VISIBILITY, index, handle, what ), FF_FAIL, what );
		SetParameterElementValueStruct value{ index, 0, 0.5f };
		ExpectU( h, FF_SET_PARAMETER_ELEMENT_VALUE, h.CallP( FF_SET_PARAMETER_ELEMENT_VALUE, &value, handle, what ), FF_FAIL, what );
		Param unregistered;
		unregistered.index = index;
		CheckTextQuery( h, FF_GET_PARAM_DISPLAY_NAME, unregistered, handle, false );
	}
	const std::vector< float > after = h.Values( *instance );
	for( std::size_t i = 0; i < before.size(); ++i )
		if( !SameValue( before[ i ], after[ i ] ) )
			h.Fail( Request( FF_SET_PARAMETER ) + " for unregistered parameters changed " + h.Params()[ i ].Label() + " from " +
					Shown( before[ i ] ) + " to " + Shown( after[ i ] ) + "; expected nothing to change" );
	Stage stage( h, 64, 48 );
	if( stage.Frame( *instance, "after requests for unregistered parameters" ) != FF_SUCCESS )
		h.Fail( Request( FF_PROCESS_OPENGL ) + " answered failure after requests for unregistered parameters; expected success" );
	h.Destroy( instance );
	h.Passed( "every instance request for an unregistered index answers failure and changes nothing" );
}

void ElementIndices( Harness& h )
{
	for( const Param& param : Typed( h ) )
	{
		const uint32_t elements   = h.CallU( FF_GET_NUM_PARAMETER_ELEMENTS, param.index, nullptr, For( param ) );
		const uint32_t separators = h.CallU( FF_GET_NUM_ELEMENT_SEPARATORS, param.index, nullptr, For( param ) );
		const uint32_t extensions = h.CallU( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, param.index, nullptr, For( param ) );
		for( uint32_t beyond : { 0u, 1u, 0xFFFFFFFFu } )
		{
			auto index = [ & ]( uint32_t count ) { return beyond == 0xFFFFFFFFu ? beyond : ( count == FF_FAIL ? 0 : count ) + beyond; };
			GetParameterElementStruct element{ param.index, index( elements ) };
			const std::string atElement = For( param ) + ", element " + std::to_string( element.ElementNumber ) + " (out of range)";
			if( elements != FF_FAIL )
			{
				ExpectNull( h, FF_GET_PARAMETER_ELEMENT_NAME,
							h.Call( FF_GET_PARAMETER_ELEMENT_NAME, MixedP( &element ), nullptr, atElement ).PointerValue, atElement );
				ExpectU( h, FF_GET_PARAMETER_ELEMENT_VALUE, h.CallP( FF_GET_PARAMETER_ELEMENT_VALUE, &element, nullptr, atElement ),
						 FF_FAIL, atElement );
			}
			GetParameterElementStruct separator{ param.index, index( separators ) };
			const std::string atSeparator = For( param ) + ", separator " + std::to_string( separator.ElementNumber ) + " (out of range)";
			ExpectU( h, FF_GET_SEPARATOR_ELEMENT_INDEX, h.CallP( FF_GET_SEPARATOR_ELEMENT_INDEX, &separator, nullptr, atSeparator ),
					 FF_FAIL, atSeparator );
			GetParameterElementStruct extension{ param.index, index( extensions ) };
			const std::string atExtension = For( param ) + ", extension " + std::to_string( extension.ElementNumber ) + " (out of range)";
			ExpectNull( h, FF_GET_FILE_PARAMETER_EXTENSION,
						h.Call( FF_GET_FILE_PARAMETER_EXTENSION, MixedP( &extension ), nullptr, atExtension ).PointerValue, atExtension );
		}
	}
	h.Passed( "element, separator and extension indices out of range answer failure" );
}
}// namespace

void AddParameterChecks( std::vector< CheckSpec >& checks )
{
	const std::string g = "parameters";
	checks.push_back( { g, "count", "code 4 answers a count, the same each time", Count } );
	checks.push_back( { g, "names", "every parameter has a name (code 5); repeated names WARN", Names } );
	checks.push_back( { g, "types", "every type is known (code 15); usage (32) and visibility (45) answer sanely", Types } );
	checks.push_back( { g, "defaults", "defaults (code 6) are finite and a standard default lies within code 41's range", Defaults } );
	checks.push_back( { g, "ranges", "ranges (code 41) are finite with the minimum first", Ranges } );
	checks.push_back( { g, "elements", "options have named elements with values; file extensions are texts", Elements } );
	checks.push_back( { g, "text-queries", "codes 50 and 51 never write beyond the host's capacity", TextQueries } );
	checks.push_back( { g, "initial-values", "a new instance holds what setting each default gives (WARN)", InitialValues } );
	checks.push_back( { g, "display", "code 7 texts of non-text parameters end within 16 bytes", Display } );
	checks.push_back( { g, "unregistered", "plug-in-wide queries for an unregistered index answer as tabulated", UnregisteredQueries } );
	checks.push_back( { g, "unregistered-instance", "instance requests for an unregistered index fail and change nothing",
						UnregisteredInstanceQueries } );
	checks.push_back( { g, "element-indices", "element, separator and extension indices out of range answer failure", ElementIndices } );
}
}// namespace plughost::validate
