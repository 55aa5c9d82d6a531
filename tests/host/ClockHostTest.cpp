// The clock driven through the library; skipped until the clock is built.
#include "HostTestSupport.h"

#include <PlugHost.h>

#include <gtest/gtest.h>

using namespace plughost;

namespace
{
class ClockHost : public ::testing::Test
{
protected:
	void SetUp() override
	{
		if( !hosttest::ClockBuilt() )
			GTEST_SKIP() << hosttest::ClockPath() << " is not built yet";
		hosttest::Context();
	}
};

TEST_F( ClockHost, IdentityAndConstructionNotice )
{
	PluginLibrary library( hosttest::ClockPath() );
	EXPECT_EQ( library.Identity().id, "KP50" );
	EXPECT_EQ( library.Identity().name, "Vavo Rozar" );
	EXPECT_EQ( library.Identity().type, FF_SOURCE );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_EQ( library.ParameterCount(), 13u );
	const auto log = library.Log();
	ASSERT_FALSE( log.empty() );
	EXPECT_EQ( log.front(), "Created VavoRozar effect" );
}

TEST_F( ClockHost, ManualFrameIsDeterministic )
{
	PluginLibrary library( hosttest::ClockPath() );
	RenderTarget target( 96, 64 );
	Instance instance( library, 96, 64 );
	ASSERT_EQ( instance.SetFloat( 6, 1.0f ), FF_SUCCESS );
	ASSERT_EQ( instance.SetFloat( 7, 0.25f ), FF_SUCCESS );
	const Image first = RenderImage( instance, target );
	const Image again = RenderImage( instance, target );
	EXPECT_EQ( first, again );
	// A solid background means every pixel is opaque.
	for( uint32_t y = 0; y < first.height; y += 7 )
		for( uint32_t x = 0; x < first.width; x += 7 )
			EXPECT_EQ( first.At( x, y )[ 3 ], 255 ) << x << "," << y;
}
}// namespace
