#include "HostTestSupport.h"

#include <PlugHost.h>

#include <gtest/gtest.h>

using namespace plughost;

namespace
{
class MockInstance : public ::testing::Test
{
protected:
	void SetUp() override { hosttest::Context(); }
	PluginLibrary library{ hosttest::Fixture( "MockPlugin" ) };
};

TEST_F( MockInstance, ParametersRoundTripByKind )
{
	Instance instance( library, 32, 16 );
	EXPECT_EQ( instance.SetFloat( 0, 0.75f ), FF_SUCCESS );
	EXPECT_FLOAT_EQ( instance.GetFloat( 0 ).value_or( -1.0f ), 0.75f );
	EXPECT_EQ( instance.GetText( 2 ).value_or( "?" ), "hello" );
	EXPECT_EQ( instance.SetText( 2, "world" ), FF_SUCCESS );
	EXPECT_EQ( instance.GetText( 2 ).value_or( "?" ), "world" );
	EXPECT_EQ( instance.Display( 0 ).value_or( "?" ), "0.75" );
	EXPECT_EQ( instance.DisplayName( 3 ).value_or( "?" ), "Shown Gain" );
}

TEST_F( MockInstance, WrongKindOfValueIsRefusedBeforeReachingThePlugin )
{
	Instance instance( library, 32, 16 );
	// A float sent to a text parameter would be read as a pointer.
	EXPECT_EQ( instance.SetFloat( 2, 1.0f ), FF_FAIL );
	EXPECT_FALSE( instance.GetFloat( 2 ) );
	EXPECT_EQ( instance.SetText( 0, "0.5" ), FF_FAIL );
	EXPECT_FALSE( instance.GetText( 0 ) );
	EXPECT_EQ( instance.GetText( 2 ).value_or( "?" ), "hello" );
}

TEST_F( MockInstance, HostStateCalls )
{
	Instance instance( library, 32, 16 );
	EXPECT_EQ( instance.SetTime( 1.5 ), FF_SUCCESS );
	EXPECT_EQ( instance.SetBeat( 120.0f, 0.25f ), FF_SUCCESS );
	EXPECT_EQ( instance.SetHostInfo( "plughost", "1.0" ), FF_SUCCESS );
	EXPECT_EQ( instance.SetSampleRate( 48000 ), FF_SUCCESS );
	EXPECT_EQ( instance.Resize( 64, 64 ), FF_SUCCESS );
	EXPECT_EQ( instance.Connect(), FF_SUCCESS );
	EXPECT_EQ( instance.Disconnect(), FF_SUCCESS );
	EXPECT_EQ( instance.InputStatus( 1 ), 1u );
	EXPECT_EQ( instance.InputStatus( 2 ), FF_FAIL );
	EXPECT_EQ( instance.EnableCapability( FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ), FF_FAIL );
	EXPECT_EQ( instance.SetElementValue( 1, 0, 5.0f ), FF_SUCCESS );
	EXPECT_EQ( instance.PendingEventCount().value_or( 99 ), 0u );
	EXPECT_TRUE( instance.ConsumeEvents( 4 ).empty() );
	EXPECT_TRUE( instance.ConsumeEvents( 0 ).empty() );
}

TEST_F( MockInstance, RefusedInstantiationThrows )
{
	EXPECT_THROW( Instance( library, 0, 16 ), Error );
}

TEST_F( MockInstance, MovedInstanceIsDestroyedOnce )
{
	library.ClearLog();
	Instance first( library, 8, 8 );
	Instance second = std::move( first );
	EXPECT_EQ( first.Handle(), nullptr );
	ASSERT_NE( second.Handle(), nullptr );
	Instance third( library, 8, 8 );
	third = std::move( second );
	EXPECT_EQ( third.SetFloat( 0, 0.5f ), FF_SUCCESS );
}

TEST_F( MockInstance, InputPictureArrivesUprightInAPaddedTexture )
{
	const Image picture = GradientImage( 40, 20 );
	InputTexture input( picture, 64, 32 );
	EXPECT_EQ( input.Texture().Width, 40u );
	EXPECT_EQ( input.Texture().HardwareWidth, 64u );
	EXPECT_EQ( input.Texture().HardwareHeight, 32u );
	RenderTarget target( 40, 20 );
	Instance instance( library, 40, 20 );
	// The mock copies the picture region of its input into the target.
	EXPECT_EQ( RenderImage( instance, target, { &input } ), picture );
}

TEST_F( MockInstance, FailedFrameIsReportedNotHidden )
{
	RenderTarget target( 8, 8 );
	Instance instance( library, 8, 8 );
	EXPECT_EQ( RenderFrame( instance, target ), FF_FAIL );
	EXPECT_THROW( RenderImage( instance, target ), Error );
	EXPECT_THROW( RenderFrame( instance, target, { nullptr } ), Error );
}

TEST_F( MockInstance, ClearModeFillsTheTarget )
{
	RenderTarget target( 4, 3 );
	Instance instance( library, 4, 3 );
	instance.SetFloat( 1, 2.0f );
	instance.SetFloat( 0, 1.0f );
	const Image image = RenderImage( instance, target );
	EXPECT_EQ( image, SolidImage( 4, 3, Rgba{ 255, 0, 0, 255 } ) );
}

TEST_F( MockInstance, SmallerAllocationThanPictureIsRejected )
{
	EXPECT_THROW( InputTexture( SolidImage( 8, 8, Rgba{} ), 4, 8 ), Error );
	EXPECT_THROW( InputTexture( Image{} ), Error );
}
}// namespace
