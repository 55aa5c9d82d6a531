// Initialise and de-initialise, instances at many sizes, and many lifetimes
// that must leave no GL object behind and no growing heap.
#include "Harness.h"

#include <GLCensus.h>
#include <HeapUsage.h>

#include <cstdio>

namespace plughost::validate
{
namespace
{
std::string Size( uint32_t width, uint32_t height )
{
	return std::to_string( width ) + "x" + std::to_string( height );
}

void Initialise( Harness& h )
{
	h.KeepUninitialised();// the first code 34 is this check's own
	const std::size_t count = h.Params().size();
	const uint32_t sequence[] = { FF_INITIALISE_V2, FF_DEINITIALISE, FF_INITIALISE_V2, FF_DEINITIALISE };
	for( std::size_t i = 0; i < 4; ++i )
	{
		const std::string what = i < 2 ? "(first round)" : "(second round)";
		if( const uint32_t answer = h.CallU( sequence[ i ], 0, nullptr, what ); answer != FF_SUCCESS )
			h.Fail( Request( sequence[ i ] ) + " " + what + " answers " + Answer( answer ) + "; expected success" );
		if( const uint32_t again = h.CallU( FF_GET_NUM_PARAMETERS, 0, nullptr, "after " + Request( sequence[ i ] ) + " " + what );
			again != count )
			h.Fail( Request( FF_GET_NUM_PARAMETERS ) + " after " + Request( sequence[ i ] ) + " " + what + " answers " +
					std::to_string( again ) + "; expected " + std::to_string( count ) );
	}
	if( h.CallU( FF_DEINITIALISE, 0, nullptr, "twice in a row" ) != FF_SUCCESS )
		h.Warn( Request( FF_DEINITIALISE ) + " twice in a row answers failure the second time" );
	for( int i = 0; i < 2; ++i )
		if( h.CallU( FF_INITIALISE_V2, 0, nullptr, "twice in a row" ) != FF_SUCCESS )
			h.Fail( Request( FF_INITIALISE_V2 ) + " twice in a row answers failure; expected success" );
	auto instance = h.Instantiate( 64, 48 );
	Stage stage( h, 64, 48 );
	if( stage.Frame( *instance, "after initialising twice" ) != FF_SUCCESS )
		h.Fail( Request( FF_PROCESS_OPENGL ) + " after initialising and de-initialising twice answered failure; expected success" );
	h.Destroy( instance );
	h.Passed( "initialise and de-initialise work twice over" );
}

void Sizes( Harness& h )
{
	std::string sizes;
	for( const auto& [ width, height ] : h.budget.sizes )
	{
		const std::string size = Size( width, height );
		auto bare = h.Instantiate( width, height );
		h.Destroy( bare );
		auto instance = h.Instantiate( width, height );
		Stage stage( h, width, height );
		if( const uint32_t answer = stage.Frame( *instance ); answer != FF_SUCCESS )
			h.Fail( Request( FF_PROCESS_OPENGL ) + " at " + size + " answers " + Answer( answer ) + "; expected success" );
		h.Destroy( instance );
		sizes += ( sizes.empty() ? "" : ", " ) + size;
	}
	h.Passed( "instantiates, draws and de-instantiates at " + sizes );
}

void Lifetimes( Harness& h )
{
	const uint32_t lifetimes = h.budget.lifetimes, half = lifetimes / 2;
	Stage stage( h, 64, 48 );
	h.Step( "counting live GL objects before the first instance" );
	const GLCensus before = GLCensus::Take();
	std::size_t heapHalf  = 0;
	for( uint32_t i = 0; i < lifetimes; ++i )
	{
		if( i == half )
			heapHalf = HeapInUse();
		auto instance = h.Instantiate( 64, 48 );
		stage.Frame( *instance, "in lifetime " + std::to_string( i + 1 ) + " of " + std::to_string( lifetimes ) );
		h.Destroy( instance );
	}
	const std::size_t heapEnd = HeapInUse();
	h.CallU( FF_DEINITIALISE, 0, nullptr, "after the lifetimes" );
	Stage::Rest();
	h.Step( "counting live GL objects after the lifetimes" );
	const GLCensus left = GLCensus::Take().Since( before );
	if( !left.Empty() )
		h.Fail( "after " + std::to_string( lifetimes ) + " lifetimes (" + Request( FF_INSTANTIATE_GL ) + ", " +
				Request( FF_PROCESS_OPENGL ) + ", " + Request( FF_DEINSTANTIATE_GL ) + ") and " + Request( FF_DEINITIALISE ) +
				", GL objects are still alive: " + left.Describe() + "; expected none" );
	const double grown = ( static_cast< double >( heapEnd ) - static_cast< double >( heapHalf ) ) / ( 1024.0 * 1024.0 );
	char growth[ 32 ];
	std::snprintf( growth, sizeof growth, "%.2f MB", grown );
	if( grown >= 8.0 )
		h.Warn( "heap in use grew by " + std::string( growth ) + " over the last " + std::to_string( lifetimes - half ) +
				" lifetimes; expected less than 8 MB" );
	h.Passed( std::to_string( lifetimes ) + " lifetimes leave no GL object alive; heap grew " + growth + " over the last " +
			  std::to_string( lifetimes - half ) );
}

void Connect( Harness& h )
{
	auto instance = h.Instantiate( 64, 48 );
	Stage stage( h, 64, 48 );
	const uint32_t steps[] = { FF_CONNECT, FF_CONNECT, FF_PROCESS_OPENGL, FF_DISCONNECT, FF_DISCONNECT,
							   FF_PROCESS_OPENGL, FF_CONNECT, FF_PROCESS_OPENGL };
	for( uint32_t code : steps )
	{
		if( code == FF_PROCESS_OPENGL )
		{
			if( stage.Frame( *instance, "between connects and disconnects" ) != FF_SUCCESS )
				h.Fail( Request( FF_PROCESS_OPENGL ) + " between connects and disconnects answered failure; expected success" );
			continue;
		}
		const uint32_t answer = h.CallU( code, 0, instance->Handle(), "" );
		if( answer != FF_SUCCESS && answer != FF_FAIL )
			h.Warn( Request( code ) + " answers " + Answer( answer ) + "; expected 0 or failure" );
	}
	h.Destroy( instance );// while connected
	h.Passed( "connects, disconnects and is destroyed while connected" );
}
}// namespace

void AddLifecycleChecks( std::vector< CheckSpec >& checks )
{
	const std::string g = "lifecycle";
	checks.push_back( { g, "initialise", "codes 34 and 2 succeed twice over; queries work between them", Initialise } );
	checks.push_back( { g, "sizes", "instantiate, draw and de-instantiate at 1x1, 16x9, 1920x1080, 4097x7 (more at higher levels)", Sizes } );
	checks.push_back( { g, "lifetimes", "many lifetimes leave no live GL object (glIs* census); heap growth under 8 MB (WARN)", Lifetimes } );
	checks.push_back( { g, "connect", "codes 21 and 22 in any order, and destruction while connected", Connect } );
}
}// namespace plughost::validate
