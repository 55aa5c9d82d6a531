// The three example plug-ins loaded as a host loads them, rendered on the
// headless context, and compared with their formulas evaluated here.
#include <gtest/gtest.h>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <PlugHost.h>

using namespace plughost;

namespace
{
GLContext& Context()
{
	static GLContext context;
	context.MakeCurrent();
	return context;
}

std::string PluginPath( const char* name )
{
	return std::string( FFGL_PLUGIN_DIR ) + "/" + name + ".so";
}

struct Colour
{
	double r, g, b, a;
};

// Largest difference of one channel, in 8-bit steps, that rasterisation and
// the GPU's sine may add.
constexpr int tolerance_ = 3;

void ExpectPixel( const Image& image, uint32_t x, uint32_t y, Colour expected, const char* what )
{
	const uint8_t* p = image.At( x, y );
	const double channels[ 4 ] = { expected.r, expected.g, expected.b, expected.a };
	for( int c = 0; c < 4; ++c )
	{
		int want = static_cast< int >( std::lround( std::fmin( std::fmax( channels[ c ], 0.0 ), 1.0 ) * 255.0 ) );
		ASSERT_NEAR( p[ c ], want, tolerance_ ) << what << " at " << x << "," << y << " channel " << c;
	}
}

Colour At( const Image& image, uint32_t x, uint32_t y )
{
	const uint8_t* p = image.At( x, y );
	return { p[ 0 ] / 255.0, p[ 1 ] / 255.0, p[ 2 ] / 255.0, p[ 3 ] / 255.0 };
}

class Examples : public ::testing::Test
{
protected:
	void SetUp() override { Context(); }
};
}// namespace

TEST_F( Examples, EachHasItsOwnRegistrationRecord )
{
	struct Expected
	{
		const char* file;
		const char* id;
		uint32_t type;
		uint32_t inputs;
		uint32_t params;
	};
	const Expected examples[] = {
		{ "SineField", "QSsf", FF_SOURCE, 0, 8 },
		{ "ToneGrade", "QStg", FF_EFFECT, 1, 4 },
		{ "CrossFade", "QScf", FF_MIXER, 2, 1 },
	};
	for( const Expected& e : examples )
	{
		PluginLibrary library( PluginPath( e.file ) );
		EXPECT_EQ( library.Identity().id, e.id );
		EXPECT_EQ( library.Identity().name, e.file );
		EXPECT_EQ( library.Identity().type, e.type );
		EXPECT_EQ( library.Identity().apiMajorVersion, 2u );
		EXPECT_EQ( library.Identity().apiMinorVersion, 1u );
		ASSERT_EQ( library.Initialise(), FF_SUCCESS );
		Capabilities caps = library.Caps();
		EXPECT_EQ( caps.minimumInputs, e.inputs );
		EXPECT_EQ( caps.maximumInputs, e.inputs );
		EXPECT_EQ( library.ParameterCount(), e.params );
	}
}

TEST_F( Examples, SourceParametersAsTheHostSeesThem )
{
	PluginLibrary library( PluginPath( "SineField" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	auto all = library.DescribeAll();
	ASSERT_EQ( all.size(), 8u );
	EXPECT_EQ( all[ 0 ].name, "tint" );
	EXPECT_EQ( all[ 0 ].type, FF_TYPE_HUE );
	EXPECT_EQ( all[ 3 ].type, FF_TYPE_ALPHA );
	EXPECT_EQ( all[ 4 ].name, "pattern" );
	EXPECT_EQ( all[ 4 ].type, FF_TYPE_OPTION );
	ASSERT_EQ( all[ 4 ].elements.size(), 2u );
	EXPECT_EQ( all[ 4 ].elements[ 1 ].name, "Rings" );
	EXPECT_EQ( all[ 4 ].elements[ 1 ].value.value_or( -1.0f ), 1.0f );
	EXPECT_EQ( all[ 6 ].name, "bands" );
	EXPECT_EQ( all[ 6 ].type, FF_TYPE_INTEGER );
	EXPECT_EQ( all[ 6 ].defaultValue, 4.0f );// kept although above 1
	EXPECT_EQ( all[ 6 ].maximum, 16.0f );
}

namespace
{
// SineField's formula for the output pixel (x, y), y counted from the top.
Colour SineFieldPixel( uint32_t x, uint32_t y, uint32_t width, uint32_t height, bool rings, double bands, double shade,
					   Colour tint )
{
	double u = ( x + 0.5 ) / width;
	double v = ( height - 1 - y + 0.5 ) / height;
	double position = rings ? 2.0 * std::hypot( u - 0.5, v - 0.5 ) : u;
	double wave = 0.5 + 0.5 * std::sin( 2.0 * M_PI * position * bands );
	double level = std::fmin( std::fmax( shade + wave * ( 1.0 - shade ), shade ), 1.0 );
	return { tint.r * level, tint.g * level, tint.b * level, tint.a };
}
}// namespace

TEST_F( Examples, SourceRendersItsFormula )
{
	PluginLibrary library( PluginPath( "SineField" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	const uint32_t width = 48, height = 40;
	Instance instance( library, width, height );
	RenderTarget target( width, height );

	// Hue 0.25 at full saturation and brightness is (0.5, 1, 0).
	instance.SetFloat( 0, 0.25f );
	instance.SetFloat( 1, 1.0f );
	instance.SetFloat( 2, 1.0f );
	instance.SetFloat( 3, 1.0f );
	instance.SetFloat( 5, 0.0f );// speed: frozen in time
	instance.SetFloat( 6, 3.0f );
	instance.SetFloat( 7, 0.2f );
	const Colour tint{ 0.5, 1.0, 0.0, 1.0 };

	for( bool rings : { false, true } )
	{
		instance.SetFloat( 4, rings ? 1.0f : 0.0f );
		Image image = RenderImage( instance, target );
		for( uint32_t y = 0; y < height; ++y )
			for( uint32_t x = 0; x < width; ++x )
				ExpectPixel( image, x, y, SineFieldPixel( x, y, width, height, rings, 3.0, 0.2, tint ), rings ? "rings" : "stripes" );
	}
}

TEST_F( Examples, SourceMovesWithTime )
{
	PluginLibrary library( PluginPath( "SineField" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	Instance instance( library, 32, 8 );
	RenderTarget target( 32, 8 );
	instance.SetFloat( 5, 2.0f );
	Image first = RenderImage( instance, target );
	std::this_thread::sleep_for( std::chrono::milliseconds( 60 ) );
	Image second = RenderImage( instance, target );
	EXPECT_NE( first, second );
}

namespace
{
Colour ToneGradePixel( Colour in, double gain, double contrast, bool invert, bool flash )
{
	auto grade = [ & ]( double c ) {
		double g = ( c * gain - 0.5 ) * contrast + 0.5;
		if( invert )
			g = 1.0 - g;
		if( flash )
			g = 1.0;
		return g;
	};
	return { grade( in.r ), grade( in.g ), grade( in.b ), in.a };
}
}// namespace

TEST_F( Examples, EffectRendersItsFormulaAndFlashesForOneFrame )
{
	PluginLibrary library( PluginPath( "ToneGrade" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	const uint32_t width = 50, height = 30;
	Image picture = GradientImage( width, height );
	// Allocation larger than the picture: sampling must stay inside maxUV.
	InputTexture input( picture, 128, 64 );
	Instance instance( library, width, height );
	RenderTarget target( width, height );

	auto check = [ & ]( double gain, double contrast, bool invert, bool flash, const char* what ) {
		Image image = RenderImage( instance, target, { &input } );
		for( uint32_t y = 0; y < height; ++y )
			for( uint32_t x = 0; x < width; ++x )
				ExpectPixel( image, x, y, ToneGradePixel( At( picture, x, y ), gain, contrast, invert, flash ), what );
	};

	check( 1.0, 1.0, false, false, "defaults pass the input through" );
	instance.SetFloat( 0, 1.25f );
	instance.SetFloat( 1, 0.75f );
	check( 1.25, 0.75, false, false, "gain and contrast" );
	instance.SetFloat( 2, 1.0f );
	check( 1.25, 0.75, true, false, "inverted" );
	instance.SetFloat( 3, 1.0f );
	check( 1.25, 0.75, true, true, "flash frame" );
	check( 1.25, 0.75, true, false, "after the flash" );

	EXPECT_EQ( instance.ProcessFrame( {} ), FF_FAIL );// no input: refused
}

TEST_F( Examples, MixerBlendsByMixVal )
{
	PluginLibrary library( PluginPath( "CrossFade" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_EQ( library.ParameterName( 0 ).value_or( "" ), "mixVal" );
	const uint32_t width = 40, height = 24;
	Image destination = GradientImage( width, height );
	Image source = CheckerImage( width, height, 5, { 255, 0, 0, 255 }, { 0, 0, 255, 128 } );
	// Different allocations, so each input needs its own maxUV.
	InputTexture destinationTexture( destination, 64, 32 );
	InputTexture sourceTexture( source, 128, 128 );
	Instance instance( library, width, height );
	RenderTarget target( width, height );

	for( float mix : { 0.0f, 0.25f, 1.0f } )
	{
		instance.SetFloat( 0, mix );
		Image image = RenderImage( instance, target, { &destinationTexture, &sourceTexture } );
		for( uint32_t y = 0; y < height; ++y )
			for( uint32_t x = 0; x < width; ++x )
			{
				Colour d = At( destination, x, y ), s = At( source, x, y );
				Colour expected{ d.r + ( s.r - d.r ) * mix, d.g + ( s.g - d.g ) * mix, d.b + ( s.b - d.b ) * mix,
								 d.a + ( s.a - d.a ) * mix };
				ExpectPixel( image, x, y, expected, "mix" );
			}
	}
	EXPECT_EQ( instance.ProcessFrame( { destinationTexture.Texture() } ), FF_FAIL );// one input: refused
}

// Without an entropy device the plug-in still answers queries, but refuses
// to make an instance: a failure answer, never an exception.
TEST_F( Examples, MissingEntropyDeviceRefusesInstantiation )
{
	PluginLibrary library( std::string( QS_TEST_PLUGIN_DIR ) + "/ffglqs_no_entropy.so" );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	FFGLViewportStruct viewport{ 0, 0, 16, 16 };
	FFMixed input;
	input.PointerValue = &viewport;
	FFMixed answer = library.Call( FF_INSTANTIATE_GL, input, nullptr );
	EXPECT_EQ( answer.PointerValue, FFWidenedFail() );
	EXPECT_THROW( Instance( library, 16, 16 ), Error );
}
