// Instances of one library side by side: values never cross over, and one
// instance's end leaves the others working.
#include "Harness.h"

#include <GLCensus.h>
#include <EntryPointValues.h>

#include <algorithm>
#include <cstdio>

namespace plughost::validate
{
namespace
{
std::string Percent( double share )
{
	char text[ 16 ];
	std::snprintf( text, sizeof text, "%.0f%%", share * 100.0 );
	return text;
}

std::vector< std::string > Texts( Harness& h, Instance& instance )
{
	std::vector< std::string > texts;
	for( const Param& param : h.Params() )
	{
		if( !param.known || !param.text )
		{
			texts.emplace_back();
			continue;
		}
		const auto* text = static_cast< const char* >(
			h.Call( FF_GET_PARAMETER, MixedU( param.index ), instance.Handle(), "for " + param.Label() ).PointerValue );
		texts.push_back( IsFailedPointer( text ) ? "(none)" : ReadText( text, 1 << 20 ).value_or( "(no NUL)" ) );
	}
	return texts;
}

// A frame of an instance, or nothing when its frames differ from one to the
// next (clocks, noise), so only steady output is compared.
std::optional< Image > SteadyFrame( Harness& h, Stage& stage, Instance& instance, const std::string& what )
{
	if( stage.Frame( instance, what ) != FF_SUCCESS )
		h.Abort( Request( FF_PROCESS_OPENGL ) + " " + what + " answered failure; expected success" );
	const Image first = stage.Pixels();
	stage.Frame( instance, what + ", again" );
	const Image second = stage.Pixels();
	if( DifferingShare( first, second, 2 ) > 0.0 )
		return std::nullopt;
	return second;
}

void Independent( Harness& h )
{
	const auto& params = h.Params();
	auto first = h.Instantiate( 64, 48 ), second = h.Instantiate( 64, 48 );
	Stage stage( h, 64, 48 );
	const auto steady         = SteadyFrame( h, stage, *second, "on the second instance" );
	const auto values         = h.Values( *second );
	const auto texts          = Texts( h, *second );
	for( const Param& param : params )
		if( param.known && param.text )
			h.SetText( *first, param, "set on the first instance", "\"set on the first instance\"" );
		else if( param.known )
			h.Set( *first, param, param.DistinctValue() );
	stage.Frame( *first, "on the first instance after setting its parameters" );
	const auto valuesAfter = h.Values( *second );
	const auto textsAfter  = Texts( h, *second );
	for( std::size_t i = 0; i < params.size(); ++i )
	{
		const std::string set = Request( FF_SET_PARAMETER ) + " for " + params[ i ].Label() + " on one instance";
		if( !SameValue( values[ i ], valuesAfter[ i ] ) )
			h.Fail( set + " to " + Shown( params[ i ].DistinctValue() ) + " changed another instance's value: expected " +
					Shown( values[ i ] ) + ", got " + Shown( valuesAfter[ i ] ) );
		if( texts[ i ] != textsAfter[ i ] )
			h.Fail( set + " changed another instance's text: expected \"" + texts[ i ] + "\", got \"" + textsAfter[ i ] + "\"" );
	}
	if( steady )
	{
		stage.Frame( *second, "on the second instance after the first one's parameters changed" );
		if( const double share = DifferingShare( *steady, stage.Pixels(), 4 ); share > 0.2 )
			h.Fail( "after " + Request( FF_SET_PARAMETER ) + " on one instance, " + Percent( share ) +
					" of another instance's frame (" + Request( FF_PROCESS_OPENGL ) + ") changed; expected instances not to share state" );
	}
	h.Destroy( first );
	h.Destroy( second );
	h.Passed( "values set on one instance never show in another" );
}

void AfterDestroy( Harness& h )
{
	Stage stage( h, 64, 48 );
	h.PendingGLErrors();
	const GLCensus empty = GLCensus::Take();
	auto survivor = h.Instantiate( 64, 48 );
	stage.Frame( *survivor, "on the instance that will remain" );
	h.Step( "counting the GL objects of the instance that will remain" );
	const GLCensus owned = GLCensus::Take().Since( empty );
	auto doomed = h.Instantiate( 64, 48 );
	stage.Frame( *doomed, "on the instance that will be destroyed" );
	const auto steady       = SteadyFrame( h, stage, *survivor, "on the instance that will remain" );
	const bool drewBefore   = !stage.Untouched();
	// Errors the instance leaves anyway belong to frames.gl-errors.
	const bool erredBefore  = !h.PendingGLErrors().empty();
	// Only objects still alive just before count: an instance may replace
	// its own objects from frame to frame.
	Stage::Rest();
	const GLCensus kept = owned.Since( owned.Since( GLCensus::Take() ) );
	h.Destroy( doomed );
	Stage::Rest();
	h.Step( "counting the GL objects of the remaining instance" );
	const GLCensus lost = kept.Since( GLCensus::Take() );
	if( !lost.Empty() )
		h.Fail( Request( FF_DEINSTANTIATE_GL ) + " of one instance deleted GL objects that another instance made and still uses: " +
				lost.Describe() );
	const std::string after = "on the remaining instance after " + Request( FF_DEINSTANTIATE_GL ) + " of another";
	if( stage.Frame( *survivor, after ) != FF_SUCCESS )
		h.Abort( Request( FF_PROCESS_OPENGL ) + " " + after + " answered failure; expected success" );
	for( const std::string& error : h.PendingGLErrors() )
		if( !erredBefore )
			h.Fail( error + " is pending after " + Request( FF_PROCESS_OPENGL ) + " " + after + "; before, none was" );
	if( drewBefore && stage.Untouched() )
		h.Fail( Request( FF_PROCESS_OPENGL ) + " " + after + " draws nothing; before, it drew" );
	else if( steady )
		if( const double share = DifferingShare( *steady, stage.Pixels(), 4 ); share > 0.2 )
			h.Fail( Request( FF_PROCESS_OPENGL ) + " " + after + ": " + Percent( share ) + " of the frame changed; expected the same frame" );
	h.Destroy( survivor );
	h.Passed( "an instance keeps its GL objects and draws the same after another is destroyed" );
}

void Many( Harness& h )
{
	const uint32_t count = h.budget.instances;
	Stage stage( h, 64, 48 );
	std::vector< std::unique_ptr< Instance > > instances;
	for( uint32_t i = 0; i < count; ++i )
		instances.push_back( h.Instantiate( 64, 48 ) );
	std::vector< Param > numeric;
	for( const Param& param : h.Params() )
		if( param.known && !param.text )
			numeric.push_back( param );
	auto frameAll = [ & ]( const std::string& when ) {
		for( std::size_t i = 0; i < instances.size(); ++i )
			if( stage.Frame( *instances[ i ], "on instance " + std::to_string( i + 1 ) + " of " + std::to_string( instances.size() ) + " " + when ) !=
				FF_SUCCESS )
				h.Abort( Request( FF_PROCESS_OPENGL ) + " on instance " + std::to_string( i + 1 ) + " " + when +
						 " answered failure; expected success" );
	};
	for( int round = 0; round < 2; ++round )
	{
		for( auto& instance : instances )
			if( !numeric.empty() )
			{
				const Param& param = numeric[ h.Random()() % numeric.size() ];
				h.Set( *instance, param, param.minimum + std::uniform_real_distribution< float >( 0.0f, 1.0f )( h.Random() ) *
														   ( param.maximum - param.minimum ) );
			}
		frameAll( "with " + std::to_string( instances.size() ) + " alive" );
	}
	std::shuffle( instances.begin(), instances.end(), h.Random() );
	while( !instances.empty() )
	{
		h.Destroy( instances.back() );
		instances.pop_back();
		frameAll( "after one of the others was destroyed" );
	}
	h.Passed( std::to_string( count ) + " instances at once, destroyed in random order" );
}
}// namespace

void AddInstanceChecks( std::vector< CheckSpec >& checks )
{
	const std::string g = "instances";
	checks.push_back( { g, "independent", "a value set on one instance never shows in another", Independent } );
	checks.push_back( { g, "after-destroy", "an instance keeps its GL objects and draws the same after another is destroyed", AfterDestroy } );
	checks.push_back( { g, "many", "several instances at once, destroyed in random order", Many } );
}
}// namespace plughost::validate
