// The example plug-ins loaded as a host loads them, rendered on the headless
// context, and compared with their formulas evaluated here.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <PlugHost.h>

using namespace plughost;

namespace
{
using Colour = std::array< double, 4 >;

std::string PluginPath( const char* name ) { return std::string( FFGL_PLUGIN_DIR ) + "/" + name + ".so"; }

Colour At( const Image& image, uint32_t x, uint32_t y )
{
	const uint8_t* p = image.At( x, y );
	return { p[ 0 ] / 255.0, p[ 1 ] / 255.0, p[ 2 ] / 255.0, p[ 3 ] / 255.0 };
}

// Every pixel within 3 of 255 steps (rasterisation, the GPU's sine) of the
// formula clamped to 0..1; y counts from the top.
void ExpectImage( const Image& image, const std::function< Colour( uint32_t, uint32_t ) >& formula, const std::string& what )
{
	for( uint32_t y = 0; y < image.height; ++y )
		for( uint32_t x = 0; x < image.width; ++x )
			for( int c = 0; c < 4; ++c )
				ASSERT_NEAR( image.At( x, y )[ c ], std::lround( std::clamp( formula( x, y )[ c ], 0.0, 1.0 ) * 255.0 ), 3 )
					<< what << " at " << x << "," << y << " channel " << c;
}

struct Examples : ::testing::Test
{
	void SetUp() override
	{
		static GLContext context;
		context.MakeCurrent();
	}
};
}// namespace

TEST_F( Examples, SourceRendersItsFormula )
{
	PluginLibrary library( PluginPath( "SineField" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	const uint32_t width = 48, height = 40;
	Instance instance( library, width, height );
	RenderTarget target( width, height );
	// Hue 0.25 at full saturation and brightness is (0.5, 1, 0); speed 0 freezes time.
	const float values[] = { 0.25f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 3.0f, 0.2f };
	for( uint32_t i = 0; i < 8; ++i )
		instance.SetFloat( i, values[ i ] );
	for( bool rings : { false, true } )
	{
		instance.SetFloat( 4, rings ? 1.0f : 0.0f );
		ExpectImage( RenderImage( instance, target ), [ & ]( uint32_t x, uint32_t y ) {
			double u = ( x + 0.5 ) / width, v = ( height - 1 - y + 0.5 ) / height;
			double position = rings ? 2.0 * std::hypot( u - 0.5, v - 0.5 ) : u;
			double level = 0.2 + ( 0.5 + 0.5 * std::sin( 2.0 * M_PI * position * 3.0 ) ) * 0.8;
			return Colour{ 0.5 * level, level, 0.0, 1.0 };
		}, rings ? "rings" : "stripes" );
	}
}

TEST_F( Examples, EffectRendersItsFormulaAndFlashesForOneFrame )
{
	PluginLibrary library( PluginPath( "ToneGrade" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	const uint32_t width = 50, height = 30;
	const Image picture = GradientImage( width, height );
	InputTexture input( picture, 128, 64 );// larger allocation: sampling must stay inside maxUV
	Instance instance( library, width, height );
	RenderTarget target( width, height );
	// Unset steps check the defaults and that the flash trigger was consumed.
	const struct { float p[ 4 ]; bool set; const char* what; } steps[] = {
		{ { 1, 1, 0, 0 }, false, "defaults pass the input through" }, { { 1.25f, 0.75f, 0, 0 }, true, "gain and contrast" },
		{ { 1.25f, 0.75f, 1, 0 }, true, "inverted" }, { { 1.25f, 0.75f, 1, 1 }, true, "flash frame" },
		{ { 1.25f, 0.75f, 1, 0 }, false, "after the flash" } };
	for( const auto& s : steps )
	{
		for( uint32_t i = 0; s.set && i < 4; ++i )
			instance.SetFloat( i, s.p[ i ] );
		ExpectImage( RenderImage( instance, target, { &input } ), [ & ]( uint32_t x, uint32_t y ) {
			Colour out = At( picture, x, y );// alpha passes through
			for( int c = 0; c < 3; ++c )
			{
				const double g = ( out[ c ] * s.p[ 0 ] - 0.5 ) * s.p[ 1 ] + 0.5;
				out[ c ] = s.p[ 3 ] != 0 ? 1.0 : ( s.p[ 2 ] != 0 ? 1.0 - g : g );
			}
			return out;
		}, s.what );
	}
	EXPECT_EQ( instance.ProcessFrame( {} ), FF_FAIL );// no input: refused
}

TEST_F( Examples, MixerBlendsByMixVal )
{
	PluginLibrary library( PluginPath( "CrossFade" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_EQ( library.ParameterName( 0 ).value_or( "" ), "mixVal" );
	const uint32_t width = 40, height = 24;
	const Image destination = GradientImage( width, height );
	const Image source = CheckerImage( width, height, 5, { 255, 0, 0, 255 }, { 0, 0, 255, 128 } );
	// Different allocations, so each input needs its own maxUV.
	InputTexture destinationTexture( destination, 64, 32 ), sourceTexture( source, 128, 128 );
	Instance instance( library, width, height );
	RenderTarget target( width, height );
	for( double mix : { 0.0, 0.25, 1.0 } )
	{
		instance.SetFloat( 0, float( mix ) );
		ExpectImage( RenderImage( instance, target, { &destinationTexture, &sourceTexture } ), [ & ]( uint32_t x, uint32_t y ) {
			Colour d = At( destination, x, y ), s = At( source, x, y );
			return Colour{ d[ 0 ] + ( s[ 0 ] - d[ 0 ] ) * mix, d[ 1 ] + ( s[ 1 ] - d[ 1 ] ) * mix, d[ 2 ] + ( s[ 2 ] - d[ 2 ] ) * mix,
						   d[ 3 ] + ( s[ 3 ] - d[ 3 ] ) * mix };
		}, "mix " + std::to_string( mix ) );
	}
	EXPECT_EQ( instance.ProcessFrame( { destinationTexture.Texture() } ), FF_FAIL );// one input: refused
}

// Without an entropy device the plug-in still answers queries but refuses an
// instance: a failure answer, never an exception.
TEST_F( Examples, MissingEntropyDeviceRefusesInstantiation )
{
	PluginLibrary library( std::string( QS_TEST_PLUGIN_DIR ) + "/ffglqs_no_entropy.so" );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	FFGLViewportStruct viewport{ 0, 0, 16, 16 };
	FFMixed input;
	input.PointerValue = &viewport;
	EXPECT_EQ( library.Call( FF_INSTANTIATE_GL, input, nullptr ).PointerValue, FFWidenedFail() );
	EXPECT_THROW( Instance( library, 16, 16 ), Error );
}

// The starting text is the registered default (code 6) and every new
// instance's text (code 9); instances keep their own texts.
TEST_F( Examples, TextParameterStartsWithItsText )
{
	PluginLibrary library( std::string( QS_TEST_PLUGIN_DIR ) + "/ffglqs_text.so" );
	const auto text = library.ParameterDefault( 0 );
	ASSERT_TRUE( text && text->PointerValue );
	EXPECT_STREQ( static_cast< const char* >( text->PointerValue ), "hello" );
	Instance first( library, 8, 8 ), second( library, 8, 8 );
	EXPECT_EQ( first.SetText( 0, "changed" ), FF_SUCCESS );
	EXPECT_EQ( first.GetText( 0 ).value_or( "?" ) + " " + second.GetText( 0 ).value_or( "?" ), "changed hello" );
}

// Each example has its own registration record. NaN and infinities are
// refused on every float parameter of every kind and leave the value as it
// was; a huge finite value is taken.
TEST_F( Examples, EachRegistersItselfAndRefusesNonFiniteValues )
{
	const float inf = std::numeric_limits< float >::infinity();
	const std::tuple< std::string, std::string, uint32_t, uint32_t, uint32_t > plugins[] = {// file, id, type, inputs, parameters
		{ PluginPath( "SineField" ), "QSsf", FF_SOURCE, 0, 8 }, { PluginPath( "ToneGrade" ), "QStg", FF_EFFECT, 1, 4 },
		{ PluginPath( "CrossFade" ), "QScf", FF_MIXER, 2, 1 }, { std::string( QS_TEST_PLUGIN_DIR ) + "/ffglqs_text.so", "QStx", FF_SOURCE, 0, 15 } };
	for( const auto& [ path, id, type, inputs, count ] : plugins )
	{
		PluginLibrary library( path );
		EXPECT_EQ( std::tuple( library.Identity().id, library.Identity().type, library.Caps().maximumInputs, library.ParameterCount() ),
				   std::tuple( id, type, inputs, count ) );
		Instance instance( library, 8, 8 );
		for( uint32_t i = 0; i < library.ParameterCount(); ++i )
		{
			if( IsTextType( library.ParameterType( i ).value_or( 0 ) ) )
				continue;
			const float before = instance.GetFloat( i ).value_or( -1.0f );
			for( float bad : { std::numeric_limits< float >::quiet_NaN(), inf, -inf } )
				EXPECT_EQ( ( std::tuple{ instance.SetFloat( i, bad ), instance.GetFloat( i ).value_or( -1.0f ) } ), std::tuple( FF_FAIL, before ) ) << path << " " << i;
			EXPECT_EQ( instance.SetFloat( i, -1e30f ), FF_SUCCESS ) << path << " " << i;
		}
	}
}
