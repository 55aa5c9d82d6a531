// A module's instances leave nothing behind: over 1,000 construct, frame and
// destruct cycles neither the heap nor the open files grow.
#include "Frei0rModule.h"

#include <HeapUsage.h>

#include <gtest/gtest.h>

#include <filesystem>

using namespace frei0rtest;

namespace
{
std::size_t OpenFiles()
{
	std::size_t count = 0;
	for( [[maybe_unused]] const auto& entry : std::filesystem::directory_iterator( "/proc/self/fd" ) )
		++count;
	return count;
}

void Cycles( const Frei0rModule& module, int count )
{
	std::vector< uint32_t > frame( 16 * 16 );
	for( int k = 0; k < count; ++k )
	{
		f0r_instance_t instance = module.construct( 16, 16 );
		ASSERT_NE( instance, nullptr );
		module.SetDouble( instance, 6, 1.0 );
		module.update( instance, k * 0.04, nullptr, frame.data() );
		module.destruct( instance );
	}
}
}// namespace

TEST( Cycles, AThousandInstancesLeaveNoHeapOrFileBehind )
{
	Frei0rModule module( MakeModule( PluginPath( "VavoRozar" ), "vavo_rozar_cycles.so" ) );
	ASSERT_EQ( module.init(), 1 );
	// The driver fills its caches in the first rounds.
	Cycles( module, 20 );
	const std::size_t heap  = plughost::HeapInUse();
	const std::size_t files = OpenFiles();
	Cycles( module, 1000 );
	const std::size_t grown = plughost::HeapInUse() > heap ? plughost::HeapInUse() - heap : 0;
	EXPECT_LT( grown, 256u * 1024u ) << "heap grew by " << grown << " bytes";
	EXPECT_EQ( OpenFiles(), files );
	module.deinit();
}
