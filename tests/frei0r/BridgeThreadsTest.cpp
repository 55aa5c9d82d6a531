// Instances used as the hosts use them: made on one thread, rendered on
// others at the same time, destroyed on yet another; two modules side by
// side. Run under ThreadSanitizer by the tsan preset (label "threads").
#include "Frei0rModule.h"

#include <gtest/gtest.h>

#include <thread>

using namespace frei0rtest;

namespace
{
// Large enough that each instance reads its frames back on two threads.
constexpr unsigned kSize   = 560;
constexpr int kFrames      = 12;

void Configure( const Frei0rModule& module, f0r_instance_t instance, double displayType )
{
	module.SetDouble( instance, 6, 1.0 );// Manual Mode
	module.SetDouble( instance, 0, displayType );
	module.SetDouble( instance, 7, 0.25 );
	module.SetDouble( instance, 8, 0.5 );
}

std::vector< uint32_t > Frame( const Frei0rModule& module, f0r_instance_t instance, double time )
{
	std::vector< uint32_t > frame( kSize * kSize );
	module.update( instance, time, nullptr, frame.data() );
	return frame;
}
}// namespace

TEST( Threads, InstancesMadeOnOneThreadRenderOnTwoOthersAtOnceAndDieOnAFourth )
{
	Frei0rModule clock( MakeModule( PluginPath( "VavoRozar" ), "vavo_rozar_threads.so" ) );
	Frei0rModule sine( MakeModule( PluginPath( "SineField" ), "sinefield_threads.so" ) );
	ASSERT_EQ( clock.init(), 1 );
	ASSERT_EQ( sine.init(), 1 );

	// What each should show, rendered alone first.
	std::vector< uint32_t > expected[ 2 ];
	for( int k = 0; k < 2; ++k )
	{
		f0r_instance_t alone = clock.construct( kSize, kSize );
		ASSERT_NE( alone, nullptr );
		Configure( clock, alone, k == 0 ? 0.0 : 1.0 );
		expected[ k ] = Frame( clock, alone, 0.0 );
		clock.destruct( alone );
	}
	ASSERT_NE( expected[ 0 ], expected[ 1 ] );

	f0r_instance_t instances[ 2 ] = { clock.construct( kSize, kSize ), clock.construct( kSize, kSize ) };
	f0r_instance_t field          = sine.construct( kSize, kSize );
	ASSERT_NE( instances[ 0 ], nullptr );
	ASSERT_NE( instances[ 1 ], nullptr );
	ASSERT_NE( field, nullptr );
	int mismatches[ 2 ] = { 0, 0 };
	std::vector< std::thread > threads;
	for( int k = 0; k < 2; ++k )
		threads.emplace_back( [ &, k ] {
			Configure( clock, instances[ k ], k == 0 ? 0.0 : 1.0 );
			for( int frame = 0; frame < kFrames; ++frame )
				if( Frame( clock, instances[ k ], frame * 0.04 ) != expected[ k ] )
					++mismatches[ k ];
		} );
	threads.emplace_back( [ & ] {
		for( int frame = 0; frame < kFrames; ++frame )
			Frame( sine, field, frame * 0.04 );
	} );
	for( auto& thread : threads )
		thread.join();
	EXPECT_EQ( mismatches[ 0 ], 0 );
	EXPECT_EQ( mismatches[ 1 ], 0 );

	std::thread( [ & ] {
		clock.destruct( instances[ 0 ] );
		clock.destruct( instances[ 1 ] );
		sine.destruct( field );
	} ).join();
	clock.deinit();
	sine.deinit();
}

TEST( Threads, OneInstanceCalledFromTwoThreadsAtOnceIsSerialised )
{
	// MLT's slice threads call f0r_update on one instance concurrently.
	Frei0rModule clock( MakeModule( PluginPath( "VavoRozar" ), "vavo_rozar_shared.so" ) );
	ASSERT_EQ( clock.init(), 1 );
	f0r_instance_t instance = clock.construct( kSize, kSize );
	ASSERT_NE( instance, nullptr );
	Configure( clock, instance, 1.0 );
	const std::vector< uint32_t > expected = Frame( clock, instance, 0.0 );
	int mismatches[ 2 ] = { 0, 0 };
	std::vector< std::thread > threads;
	for( int k = 0; k < 2; ++k )
		threads.emplace_back( [ &, k ] {
			for( int frame = 0; frame < kFrames; ++frame )
			{
				Configure( clock, instance, 1.0 );
				if( Frame( clock, instance, frame * 0.04 ) != expected )
					++mismatches[ k ];
			}
		} );
	for( auto& thread : threads )
		thread.join();
	EXPECT_EQ( mismatches[ 0 ] + mismatches[ 1 ], 0 );
	clock.destruct( instance );
	clock.deinit();
}
