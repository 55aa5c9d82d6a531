// The example ISF plug-ins, built by ffgl_add_isf_plugin, against a CPU
// model of their shaders at two sizes.
#include "IsfTestSupport.h"

#include <TestSupport.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace plughost;
using isftest::Near;
using isftest::Show;

namespace
{
struct Size
{
	uint32_t w, h;
};
const Size sizes_[] = { { 64, 36 }, { 23, 31 } };

// isf_FragNormCoord of a pixel given top row first.
std::array< float, 2 > Norm( uint32_t x, uint32_t y, Size s )
{
	return { ( static_cast< float >( x ) + 0.5f ) / static_cast< float >( s.w ), ( static_cast< float >( s.h - y ) - 0.5f ) / static_cast< float >( s.h ) };
}

float Smoothstep( float a, float b, float x )
{
	const float t = std::clamp( ( x - a ) / ( b - a ), 0.0f, 1.0f );
	return t * t * ( 3.0f - 2.0f * t );
}

int Mismatches( const Image& frame, Size s, const std::function< std::array< float, 4 >( std::array< float, 2 > ) >& model, std::string& first )
{
	int bad = 0;
	for( uint32_t y = 0; y < s.h; ++y )
		for( uint32_t x = 0; x < s.w; ++x )
			if( !Near( frame.At( x, y ), model( Norm( x, y, s ) ), 3 ) && bad++ == 0 )
			{
				const auto want = model( Norm( x, y, s ) );
				first = "at " + std::to_string( x ) + "," + std::to_string( y ) + " got " + Show( frame.At( x, y ) ) + " want " +
						std::to_string( want[ 0 ] ) + " " + std::to_string( want[ 1 ] ) + " " + std::to_string( want[ 2 ] );
			}
	return bad;
}
}// namespace

TEST( IsfExamples, RippleRingsMatchesItsModel )
{
	testsupport::Context();
	PluginLibrary library( testsupport::Plugin( "RippleRings" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_EQ( library.Identity().type, FF_SOURCE );
	for( const Size s : sizes_ )
	{
		Instance instance( library, s.w, s.h );
		RenderTarget target( s.w, s.h );
		instance.SetTime( 1.5 );
		instance.SetFloat( static_cast< uint32_t >( isftest::IndexOf( library, "Centre X" ) ), 0.25f );
		const Image frame = RenderImage( instance, target );
		std::string first;
		const int bad = Mismatches( frame, s, [ & ]( std::array< float, 2 > n ) -> std::array< float, 4 > {
			const float dx = ( n[ 0 ] - 0.25f ) * static_cast< float >( s.w ) / static_cast< float >( s.h ), dy = n[ 1 ] - 0.5f;
			const float wave = 0.5f + 0.5f * std::cos( 6.2831853f * ( std::sqrt( dx * dx + dy * dy ) * 6.0f - 1.5f * 0.5f ) );
			return { 0.2f * wave, 0.7f * wave, 1.0f * wave, 1.0f };
		}, first );
		EXPECT_EQ( bad, 0 ) << s.w << "x" << s.h << " " << first;
	}
}

TEST( IsfExamples, IrisWipeMatchesItsModel )
{
	testsupport::Context();
	PluginLibrary library( testsupport::Plugin( "IrisWipe" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_EQ( library.Identity().type, FF_MIXER );
	EXPECT_EQ( library.Identity().id, "IsIW" );
	EXPECT_EQ( library.Identity().name, "Iris Wipe" );
	for( const Size s : sizes_ )
	{
		const InputTexture start( SolidImage( s.w, s.h, { 255, 0, 0, 255 } ) ), end( SolidImage( s.w, s.h, { 0, 0, 255, 255 } ) );
		Instance instance( library, s.w, s.h );
		RenderTarget target( s.w, s.h );
		instance.SetFloat( static_cast< uint32_t >( isftest::IndexOf( library, "Progress" ) ), 0.4f );
		const Image frame = RenderImage( instance, target, { &start, &end } );
		std::string first;
		const int bad = Mismatches( frame, s, [ & ]( std::array< float, 2 > n ) -> std::array< float, 4 > {
			const float d     = std::hypot( n[ 0 ] - 0.5f, n[ 1 ] - 0.5f ) / std::hypot( 0.5f, 0.5f );
			const float outer = 0.4f * 1.05f;
			const float open  = 1.0f - Smoothstep( outer - 0.05f, outer, d );
			return { 1.0f - open, 0.0f, open, 1.0f };
		}, first );
		EXPECT_EQ( bad, 0 ) << s.w << "x" << s.h << " " << first;
	}
}

TEST( IsfExamples, EchoTrailKeepsAFadingPersistentBuffer )
{
	testsupport::Context();
	PluginLibrary library( testsupport::Plugin( "EchoTrail" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_EQ( library.Identity().type, FF_EFFECT );
	for( const Size s : sizes_ )
	{
		const InputTexture red( SolidImage( s.w, s.h, { 255, 0, 0, 255 } ) ), black( SolidImage( s.w, s.h, { 0, 0, 0, 255 } ) );
		Instance instance( library, s.w, s.h );
		RenderTarget target( s.w, s.h );
		Image frame = RenderImage( instance, target, { &red } );
		EXPECT_TRUE( Near( frame.At( s.w / 2, s.h / 2 ), { 1, 0, 0, 1 } ) ) << Show( frame.At( s.w / 2, s.h / 2 ) );
		float kept = 1.0f;
		for( int k = 1; k <= 3; ++k )
		{
			kept *= 0.75f;
			frame = RenderImage( instance, target, { &black } );
			EXPECT_TRUE( Near( frame.At( s.w - 1, 0 ), { kept, 0, 0, 1 } ) ) << k << " " << Show( frame.At( s.w - 1, 0 ) );
		}
		// "Difference": the input against what the buffer holds.
		instance.SetFloat( static_cast< uint32_t >( isftest::IndexOf( library, "View" ) ), 1.0f );
		frame = RenderImage( instance, target, { &black } );
		EXPECT_TRUE( Near( frame.At( 0, s.h - 1 ), { kept * 0.75f, 0, 0, 1 } ) ) << Show( frame.At( 0, s.h - 1 ) );
	}
}
