// Video and timing pieces of the host library: BT.709 conversion, the
// YUV4MPEG2 writer, compositing, pacing and the trivial pass.
#include "TestSupport.h"

#include <PlugHost.h>

#include <GL/glcorearb.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

using namespace plughost;

namespace
{
TEST( Video, Bt709KnownColours )
{
	// Published BT.709 8-bit values.
	const std::tuple< Rgba, VideoRange, int, int, int > cases[] = {
		{ { 255, 255, 255 }, VideoRange::Limited, 235, 128, 128 }, { { 0, 0, 0 }, VideoRange::Limited, 16, 128, 128 },
		{ { 255, 0, 0 }, VideoRange::Limited, 63, 102, 240 },      { { 0, 255, 0 }, VideoRange::Limited, 173, 42, 26 },
		{ { 0, 0, 255 }, VideoRange::Limited, 32, 240, 118 },      { { 128, 128, 128 }, VideoRange::Limited, 126, 128, 128 },
		{ { 255, 255, 255 }, VideoRange::Full, 255, 128, 128 },    { { 0, 0, 0 }, VideoRange::Full, 0, 128, 128 },
		{ { 255, 0, 0 }, VideoRange::Full, 54, 99, 255 },          { { 0, 0, 255 }, VideoRange::Full, 18, 255, 116 },
	};
	for( const auto& [ rgb, range, y, cb, cr ] : cases )
	{
		const YCbCr v = ToYCbCr( rgb.r, rgb.g, rgb.b, range );
		EXPECT_EQ( std::make_tuple( int( v.y ), int( v.cb ), int( v.cr ) ), std::make_tuple( y, cb, cr ) )
			<< int( rgb.r ) << "," << int( rgb.g ) << "," << int( rgb.b ) << ( range == VideoRange::Full ? " full" : " limited" );
	}
}

TEST( Video, FrameRateAsAFraction )
{
	const std::pair< double, std::pair< uint32_t, uint32_t > > cases[] = {
		{ 30.0, { 30, 1 } }, { 29.97, { 2997, 100 } }, { 12.5, { 25, 2 } }, { 23.976, { 2997, 125 } }, { 0.5, { 1, 2 } },
	};
	for( const auto& [ fps, fraction ] : cases )
		EXPECT_EQ( FrameRateFraction( fps ), fraction ) << fps;
}

// A 5x3 frame: blue in column 0, red elsewhere. Two frames, then the file
// is taken apart by hand.
TEST( Video, Y4mStreamLayoutAndSamples )
{
	Image frame = SolidImage( 5, 3, { 255, 0, 0, 255 } );
	for( uint32_t y = 0; y < 3; ++y )
		*reinterpret_cast< Rgba* >( frame.At( 0, y ) ) = { 0, 0, 255, 255 };
	const std::string dir = testsupport::ScratchDir( "y4m" );
	struct Case
	{
		ChromaFormat chroma;
		const char* header;
		std::size_t chromaSamples;
		std::vector< int > cb, cr;// the first row of each chroma plane
	};
	const Case cases[] = {
		// 2x2 blocks: blue and red averaged before rounding; the odd last column alone.
		{ ChromaFormat::Yuv420, "YUV4MPEG2 W5 H3 F25:1 Ip A1:1 C420jpeg XCOLORRANGE=LIMITED\n", 6, { 171, 102, 102 }, { 179, 240, 240 } },
		{ ChromaFormat::Yuv444, "YUV4MPEG2 W5 H3 F25:1 Ip A1:1 C444 XCOLORRANGE=LIMITED\n", 15, { 240, 102, 102, 102, 102 }, { 118, 240, 240, 240, 240 } },
	};
	for( const Case& c : cases )
	{
		const std::string path = dir + "/clip.y4m";
		std::FILE* file        = std::fopen( path.c_str(), "wb" );
		ASSERT_NE( file, nullptr );
		Y4mWriter writer( file, { 5, 3, 25.0, c.chroma, VideoRange::Limited } );
		writer.WriteFrame( frame );
		writer.WriteFrame( frame );
		EXPECT_THROW( writer.WriteFrame( Image( 4, 3 ) ), Error );
		std::fclose( file );

		std::ifstream in( path, std::ios::binary );
		const std::string bytes( ( std::istreambuf_iterator< char >( in ) ), {} );
		const std::string header( c.header );
		const std::size_t frameBytes = 6 + 15 + 2 * c.chromaSamples;
		ASSERT_EQ( bytes.size(), header.size() + 2 * frameBytes );
		EXPECT_EQ( bytes.substr( 0, header.size() ), header );
		for( int f = 0; f < 2; ++f )
		{
			const std::size_t at = header.size() + f * frameBytes;
			EXPECT_EQ( bytes.substr( at, 6 ), "FRAME\n" );
			auto sample = [ & ]( std::size_t offset ) { return int( static_cast< uint8_t >( bytes[ at + 6 + offset ] ) ); };
			EXPECT_EQ( sample( 0 ), 32 );// blue luma
			EXPECT_EQ( sample( 14 ), 63 );// red luma
			for( std::size_t i = 0; i < c.cb.size(); ++i )
			{
				EXPECT_EQ( sample( 15 + i ), c.cb[ i ] ) << "Cb " << i;
				EXPECT_EQ( sample( 15 + c.chromaSamples + i ), c.cr[ i ] ) << "Cr " << i;
			}
		}
	}
}

TEST( Video, CompositingOverBackgrounds )
{
	const std::tuple< Rgba, Background, Rgba > cases[] = {
		{ { 200, 100, 50, 255 }, Background::Black(), { 200, 100, 50, 255 } },
		{ { 200, 100, 50, 0 }, Background::Colour( 255, 255, 255 ), { 255, 255, 255, 255 } },
		{ { 255, 0, 0, 128 }, Background::Black(), { 128, 0, 0, 255 } },
		{ { 255, 255, 255, 64 }, Background::Colour( 0, 0, 128 ), { 64, 64, 160, 255 } },
		{ { 10, 20, 30, 0 }, Background::Checkerboard(), { kCheckerLight, kCheckerLight, kCheckerLight, 255 } },
	};
	for( const auto& [ pixel, background, expected ] : cases )
	{
		Image image = SolidImage( 1, 1, pixel );
		CompositeOver( image, background );
		EXPECT_EQ( image, SolidImage( 1, 1, expected ) ) << int( pixel.r ) << " a " << int( pixel.a );
	}
	Image checker( 2 * kCheckerCell, 2 * kCheckerCell );
	CompositeOver( checker, Background::Checkerboard() );
	for( const auto& [ x, y, grey ] : { std::tuple{ 0u, 0u, kCheckerLight }, { kCheckerCell - 1, kCheckerCell - 1, kCheckerLight },
										{ kCheckerCell, 0u, kCheckerDark }, { 0u, kCheckerCell, kCheckerDark }, { kCheckerCell, kCheckerCell, kCheckerLight } } )
		EXPECT_EQ( checker.At( x, y )[ 0 ], grey ) << x << "," << y;
}

TEST( Video, PacerHoldsFramesToTheirTimesAndCountsLateOnes )
{
	using Clock = std::chrono::steady_clock;
	FramePacer pacer( 50.0 );
	const auto start = Clock::now();
	for( uint32_t k = 0; k < 4; ++k )
		pacer.WaitFor( k );
	EXPECT_GE( std::chrono::duration< double >( Clock::now() - start ).count(), 0.06 );

	FramePacer slow( 100.0 );
	slow.WaitFor( 0 );
	std::this_thread::sleep_for( std::chrono::milliseconds( 40 ) );
	slow.WaitFor( 1 );// due at 10 ms
	EXPECT_EQ( slow.LateFrames(), 1u );
	EXPECT_GE( slow.WorstLateness(), 0.029 );
}

TEST( Video, TrivialPassCoversTheViewportAndLeavesNothingBound )
{
	testsupport::Context();
	RenderTarget target( 4, 2 );
	const TrivialPass pass;
	target.Clear();
	const FrameTime time = TimeThroughFinish( [ & ] { pass.Draw(); } );
	EXPECT_GT( time.wallSeconds, 0.0 );
	EXPECT_GE( time.cpuSeconds, 0.0 );
	const Image image = target.ReadPixels();
	// Texture coordinates at pixel centres: u = (x + 0.5) / 4, v = (row from the bottom + 0.5) / 2.
	for( const auto& [ x, y, r, g ] : { std::tuple{ 0u, 0u, 32, 191 }, { 3u, 0u, 223, 191 }, { 0u, 1u, 32, 64 } } )
	{
		const uint8_t* p = image.At( x, y );
		EXPECT_EQ( std::make_tuple( int( p[ 0 ] ), int( p[ 1 ] ), int( p[ 3 ] ) ), std::make_tuple( r, g, 255 ) ) << x << "," << y;
		EXPECT_NEAR( p[ 2 ], 128, 1 );
	}
	GLint program = -1, vertexArray = -1;
	glGetIntegerv( GL_CURRENT_PROGRAM, &program );
	glGetIntegerv( GL_VERTEX_ARRAY_BINDING, &vertexArray );
	EXPECT_EQ( program, 0 );
	EXPECT_EQ( vertexArray, 0 );
}
}// namespace
