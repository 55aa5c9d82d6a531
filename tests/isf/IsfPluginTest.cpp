// ISF plug-ins through plugMain: parameters for every input type, the values
// reaching the shader, events for one frame, passes and buffers, refusals.
#include "IsfTestSupport.h"

#include <TestSupport.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

using namespace plughost;
using isftest::Near;
using isftest::Show;

namespace
{
// Column pairs of an 8x2 frame show: 0 event, bool, long/40, float/4;
// 1 point p, relative point q/16; 2 the colour; 3 audio and FFT samples.
const char* allTypes_ = R"(/*{
  "ISFVSN": "2",
  "INPUTS": [
    { "NAME": "e", "LABEL": "Fire", "TYPE": "event" },
    { "NAME": "b", "TYPE": "bool", "DEFAULT": 1.0 },
    { "NAME": "l", "LABEL": "Level", "TYPE": "long", "VALUES": [10, 20, 30], "LABELS": ["Low", "Mid", "High"], "DEFAULT": 20 },
    { "NAME": "f", "TYPE": "float", "DEFAULT": 1.0, "MIN": 0.0, "MAX": 4.0 },
    { "NAME": "p", "LABEL": "Spot", "TYPE": "point2D", "DEFAULT": [0.25, 0.75], "MIN": [0, 0], "MAX": [1, 1] },
    { "NAME": "q", "TYPE": "point2D", "DEFAULT": [8, 4] },
    { "NAME": "c", "LABEL": "Paint", "TYPE": "color", "DEFAULT": [0.2, 0.4, 0.6, 0.8] },
    { "NAME": "w", "TYPE": "audio", "MAX": 4 },
    { "NAME": "s", "TYPE": "audioFFT", "MAX": 4 }
  ]
}*/
void main()
{
	int column = int( gl_FragCoord.x ) / 2;
	if( column == 0 )
		gl_FragColor = vec4( e ? 1.0 : 0.0, b ? 1.0 : 0.0, float( l ) / 40.0, f / 4.0 );
	else if( column == 1 )
		gl_FragColor = vec4( p, q / 16.0 );
	else if( column == 2 )
		gl_FragColor = c;
	else
		gl_FragColor = vec4( IMG_NORM_PIXEL( w, vec2( 0.125, 0.5 ) ).r, IMG_NORM_PIXEL( s, vec2( 0.875, 0.5 ) ).r, 0.0, 1.0 );
}
)";

struct Fixture
{
	PluginLibrary library;
	Instance instance;
	RenderTarget target;
	Fixture( const std::string& path, uint32_t w, uint32_t h ) :
		library( ( testsupport::Context(), path ) ),
		instance( ( library.Initialise(), library ), w, h ),
		target( w, h )
	{
	}
	Image Frame( const std::vector< const InputTexture* >& inputs = {} ) { return RenderImage( instance, target, inputs ); }
	uint32_t Param( const std::string& name ) const
	{
		const int index = isftest::IndexOf( library, name );
		EXPECT_GE( index, 0 ) << name;
		return static_cast< uint32_t >( index );
	}
};
}// namespace

TEST( IsfPlugin, EveryInputTypeIsAParameter )
{
	testsupport::Context();
	PluginLibrary library( isftest::MakePlugin( "AllTypes", allTypes_ ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_EQ( library.Identity().type, FF_SOURCE );
	EXPECT_EQ( library.Identity().name, "AllTypes" );
	const auto all = library.DescribeAll();
	std::vector< std::pair< std::string, uint32_t > > seen;
	for( const auto& p : all )
		seen.emplace_back( p.name, p.type );
	const std::vector< std::pair< std::string, uint32_t > > expected = {
		{ "Fire", FF_TYPE_EVENT }, { "b", FF_TYPE_BOOLEAN }, { "Level", FF_TYPE_OPTION }, { "f", FF_TYPE_STANDARD },
		{ "Spot X", FF_TYPE_STANDARD }, { "Spot Y", FF_TYPE_STANDARD }, { "q X", FF_TYPE_STANDARD }, { "q Y", FF_TYPE_STANDARD },
		{ "Paint R", FF_TYPE_RED }, { "Paint G", FF_TYPE_GREEN }, { "Paint B", FF_TYPE_BLUE }, { "Paint A", FF_TYPE_ALPHA },
		{ "w", FF_TYPE_BUFFER }, { "s", FF_TYPE_BUFFER } };
	EXPECT_EQ( seen, expected );
	EXPECT_EQ( all[ 1 ].defaultValue, 1.0f );
	ASSERT_EQ( all[ 2 ].elements.size(), 3u );
	EXPECT_EQ( all[ 2 ].elements[ 2 ].name, "High" );
	EXPECT_EQ( all[ 2 ].defaultValue, 1.0f );// "Mid", the element holding DEFAULT 20
	EXPECT_EQ( all[ 3 ].minimum, 0.0f );
	EXPECT_EQ( all[ 3 ].maximum, 4.0f );
	EXPECT_EQ( all[ 3 ].defaultValue, 1.0f );
	EXPECT_EQ( all[ 5 ].defaultValue, 0.75f );
	EXPECT_EQ( all[ 5 ].group, "Spot" );
	// Without MIN/MAX a point is a fraction of RENDERSIZE.
	EXPECT_EQ( all[ 6 ].maximum, 1.0f );
	EXPECT_EQ( all[ 11 ].defaultValue, 0.8f );
	EXPECT_EQ( all[ 11 ].group, "Paint" );
	EXPECT_EQ( all[ 12 ].elements.size(), 4u );
	EXPECT_EQ( all[ 12 ].usage, FF_USAGE_STANDARD );
	EXPECT_EQ( all[ 13 ].usage, FF_USAGE_FFT );
}

TEST( IsfPlugin, ValuesReachTheUniforms )
{
	Fixture f( isftest::MakePlugin( "Uniforms", allTypes_ ), 8, 2 );
	// Defaults first: as the file gives them; the relative point keeps its own units.
	Image frame = f.Frame();
	EXPECT_TRUE( Near( frame.At( 0, 1 ), { 0, 1, 0.5f, 0.25f } ) ) << Show( frame.At( 0, 1 ) );
	EXPECT_TRUE( Near( frame.At( 2, 1 ), { 0.25f, 0.75f, 0.5f, 0.25f } ) ) << Show( frame.At( 2, 1 ) );
	EXPECT_TRUE( Near( frame.At( 4, 1 ), { 0.2f, 0.4f, 0.6f, 0.8f } ) ) << Show( frame.At( 4, 1 ) );
	EXPECT_TRUE( Near( frame.At( 6, 1 ), { 0.5f, 0, 0, 1 } ) ) << Show( frame.At( 6, 1 ) );// silence

	EXPECT_EQ( f.instance.SetFloat( f.Param( "b" ), 0.0f ), FF_SUCCESS );
	EXPECT_EQ( f.instance.SetFloat( f.Param( "Level" ), 2.0f ), FF_SUCCESS );// "High": 30
	EXPECT_EQ( f.instance.SetFloat( f.Param( "f" ), 3.0f ), FF_SUCCESS );
	EXPECT_EQ( f.instance.SetFloat( f.Param( "Spot X" ), 0.5f ), FF_SUCCESS );
	EXPECT_EQ( f.instance.SetFloat( f.Param( "q X" ), 0.5f ), FF_SUCCESS );// half of RENDERSIZE.x = 4
	EXPECT_EQ( f.instance.SetFloat( f.Param( "Paint G" ), 1.0f ), FF_SUCCESS );
	EXPECT_EQ( f.instance.SetElementValue( f.Param( "w" ), 0, 0.5f ), FF_SUCCESS );// 0.5 + 0.5 * 0.5
	EXPECT_EQ( f.instance.SetElementValue( f.Param( "s" ), 3, 0.6f ), FF_SUCCESS );
	EXPECT_EQ( f.instance.SetFloat( f.Param( "f" ), NAN ), FF_FAIL );
	frame = f.Frame();
	EXPECT_TRUE( Near( frame.At( 0, 1 ), { 0, 0, 0.75f, 0.75f } ) ) << Show( frame.At( 0, 1 ) );
	EXPECT_TRUE( Near( frame.At( 2, 1 ), { 0.5f, 0.75f, 0.25f, 0.25f } ) ) << Show( frame.At( 2, 1 ) );
	EXPECT_TRUE( Near( frame.At( 4, 1 ), { 0.2f, 1.0f, 0.6f, 0.8f } ) ) << Show( frame.At( 4, 1 ) );
	EXPECT_TRUE( Near( frame.At( 6, 1 ), { 0.75f, 0.6f, 0, 1 } ) ) << Show( frame.At( 6, 1 ) );
	EXPECT_EQ( f.instance.Display( f.Param( "Level" ) ).value_or( "" ), "High" );
}

TEST( IsfPlugin, AnEventIsTrueForExactlyOneFrame )
{
	Fixture f( isftest::MakePlugin( "Event", allTypes_ ), 8, 2 );
	EXPECT_EQ( f.Frame().At( 0, 0 )[ 0 ], 0 );
	EXPECT_EQ( f.instance.SetFloat( f.Param( "Fire" ), 1.0f ), FF_SUCCESS );
	EXPECT_EQ( f.Frame().At( 0, 0 )[ 0 ], 255 );
	EXPECT_EQ( f.Frame().At( 0, 0 )[ 0 ], 0 );
	EXPECT_EQ( f.Frame().At( 0, 0 )[ 0 ], 0 );
	// Fired twice before a frame: still one frame.
	f.instance.SetFloat( f.Param( "Fire" ), 1.0f );
	f.instance.SetFloat( f.Param( "Fire" ), 1.0f );
	EXPECT_EQ( f.Frame().At( 0, 0 )[ 0 ], 255 );
	EXPECT_EQ( f.Frame().At( 0, 0 )[ 0 ], 0 );
}

TEST( IsfPlugin, TimeFrameIndexAndTimeDeltaFromTheHost )
{
	Fixture f( isftest::MakePlugin( "Clock", R"(/*{ "ISFVSN": "2" }*/
void main() { gl_FragColor = vec4( TIME / 10.0, TIMEDELTA, float( FRAMEINDEX ) / 4.0, DATE.y / 12.0 ); })" ),
			   2, 2 );
	f.instance.SetTime( 5.0 );
	Image frame = f.Frame();
	EXPECT_TRUE( Near( frame.At( 0, 0 ), { 0.5f, 0, 0, frame.At( 0, 0 )[ 3 ] / 255.0f } ) ) << Show( frame.At( 0, 0 ) );
	EXPECT_GE( frame.At( 0, 0 )[ 3 ], 21 );// a month, 1..12
	f.instance.SetTime( 5.5 );
	frame = f.Frame();
	EXPECT_TRUE( Near( frame.At( 0, 0 ), { 0.55f, 0.5f, 0.25f, frame.At( 0, 0 )[ 3 ] / 255.0f } ) ) << Show( frame.At( 0, 0 ) );
}

TEST( IsfPlugin, PassesReadThisFramesTargetsAtTheirOwnSize )
{
	Fixture f( isftest::MakePlugin( "Passes", R"ISF(/*{
  "ISFVSN": "2",
  "INPUTS": [ { "NAME": "div", "TYPE": "float", "DEFAULT": 2.0, "MIN": 1.0, "MAX": 8.0 } ],
  "PASSES": [ { "TARGET": "small", "WIDTH": "floor($WIDTH / $div)", "HEIGHT": "$HEIGHT / 4" }, {} ]
}*/
void main()
{
	if( PASSINDEX == 0 )
		gl_FragColor = vec4( RENDERSIZE / 64.0, float( FRAMEINDEX + 1 ) / 4.0, 1.0 );
	else
		gl_FragColor = IMG_NORM_PIXEL( small, vec2( 0.5 ) ) + vec4( 0.0, 0.0, 0.0, IMG_SIZE( small ).x / 1000.0 );
})ISF" ),
			   32, 16 );
	Image frame = f.Frame();
	EXPECT_TRUE( Near( frame.At( 5, 5 ), { 16 / 64.0f, 4 / 64.0f, 0.25f, 1 } ) ) << Show( frame.At( 5, 5 ) );
	frame = f.Frame();
	EXPECT_TRUE( Near( frame.At( 5, 5 ), { 16 / 64.0f, 4 / 64.0f, 0.5f, 1 } ) ) << Show( frame.At( 5, 5 ) );
	// The size follows the input's value.
	f.instance.SetFloat( f.Param( "div" ), 4.0f );
	frame = f.Frame();
	EXPECT_TRUE( Near( frame.At( 5, 5 ), { 8 / 64.0f, 4 / 64.0f, 0.75f, 1 } ) ) << Show( frame.At( 5, 5 ) );
}

TEST( IsfPlugin, PersistentBuffersAccumulateAndAResizeClearsThem )
{
	Fixture f( isftest::MakePlugin( "Accumulate", R"(/*{
  "ISFVSN": "2",
  "PASSES": [ { "TARGET": "sum", "PERSISTENT": true, "FLOAT": true }, { "TARGET": "scratch" }, {} ]
}*/
void main()
{
	if( PASSINDEX == 0 )
		gl_FragColor = IMG_THIS_PIXEL( sum ) + vec4( 0.1 );
	else if( PASSINDEX == 1 )
		gl_FragColor = IMG_THIS_NORM_PIXEL( sum ) * 0.5;
	else
		gl_FragColor = IMG_THIS_PIXEL( scratch ) * 2.0;
})" ),
			   8, 8 );
	for( int k = 1; k <= 5; ++k )
	{
		const Image frame = f.Frame();
		EXPECT_TRUE( Near( frame.At( 3, 3 ), { 0.1f * k, 0.1f * k, 0.1f * k, 0.1f * k } ) ) << k << " " << Show( frame.At( 3, 3 ) );
	}
	ASSERT_EQ( f.instance.Resize( 6, 6 ), FF_SUCCESS );
	RenderTarget smaller( 6, 6 );
	const Image frame = RenderImage( f.instance, smaller );
	EXPECT_TRUE( Near( frame.At( 2, 2 ), { 0.1f, 0.1f, 0.1f, 0.1f } ) ) << Show( frame.At( 2, 2 ) );
}

TEST( IsfPlugin, CustomVertexShaderAndImportedImage )
{
	testsupport::Context();
	Image logo( 2, 1 );
	logo.At( 0, 0 )[ 0 ] = 255, logo.At( 0, 0 )[ 3 ] = 255;// red, then blue
	logo.At( 1, 0 )[ 2 ] = 255, logo.At( 1, 0 )[ 3 ] = 255;
	const std::string png = testsupport::ScratchDir( "isf-png" ) + "/logo.png";
	WritePng( png, logo );
	std::ifstream file( png, std::ios::binary );
	const std::string bytes( ( std::istreambuf_iterator< char >( file ) ), {} );
	Fixture f( isftest::MakePlugin( "Vert", R"(/*{ "ISFVSN": "2", "IMPORTED": { "logo": { "PATH": "logo.png" } } }*/
varying vec2 shifted;
void main() { gl_FragColor = vec4( IMG_PIXEL( logo, vec2( 1.5, 0.5 ) ).rgb, IMG_SIZE( logo ).x / 4.0 ) + vec4( 0.0, shifted.x, 0.0, 0.0 ); })",
											{ { "Vert.vs", "varying vec2 shifted;\nvoid main() { isf_vertShaderInit(); shifted = vec2( 0.5 ); }\n" }, { "logo.png", bytes } } ),
			   4, 4 );
	const Image frame = f.Frame();
	// IMG_PIXEL counts the image's own pixels: (1.5, 0.5) is its second pixel.
	EXPECT_TRUE( Near( frame.At( 1, 1 ), { 0, 0.5f, 1, 0.5f } ) ) << Show( frame.At( 1, 1 ) );
}

TEST( IsfPlugin, ShaderErrorsRefuseInstancesWithTheFilesLine )
{
	testsupport::Context();
	PluginLibrary library( isftest::MakePlugin( "Broken", "/*{ \"ISFVSN\": \"2\" }*/\nvoid main()\n{\n\tgl_FragColor = vec4( 1.0 );\n\tfoo = 3;\n}\n" ) );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_THROW( Instance( library, 4, 4 ), Error );
	const auto log = library.Log();
	ASSERT_FALSE( log.empty() );
	EXPECT_NE( log.back().find( "Broken.fs:5:" ), std::string::npos ) << log.back();
	EXPECT_NE( log.back().find( "foo" ), std::string::npos ) << log.back();
}

TEST( IsfPlugin, ADamagedShaderLoadsButNeverDraws )
{
	testsupport::Context();
	const std::string path = isftest::MakePlugin( "Damaged", "/*{ \"ISFVSN\": \"2\" }*/\nvoid main() { gl_FragColor = vec4( 1.0 ); }\n" );
	// Rewrite the carried .fs as a file with broken JSON, as if edited after the check.
	std::string text;
	{
		std::ifstream in( path, std::ios::binary );
		text.assign( ( std::istreambuf_iterator< char >( in ) ), {} );
	}
	const size_t at = text.find( "/*{ \"ISFVSN\"" );
	ASSERT_NE( at, std::string::npos );
	text[ at + 3 ] = '[';
	const std::string damaged = path + ".damaged.so";
	std::ofstream( damaged, std::ios::binary ) << text;
	PluginLibrary library( damaged );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_NE( library.Extended().value().description.find( "malformed JSON header" ), std::string::npos );
	EXPECT_THROW( Instance( library, 4, 4 ), Error );
	ASSERT_FALSE( library.Log().empty() );
	EXPECT_NE( library.Log().back().find( "Damaged.fs:1: malformed JSON header" ), std::string::npos ) << library.Log().back();
}

TEST( IsfPlugin, ABareShellRefusesInstances )
{
	testsupport::Context();
	PluginLibrary library( ISF_SHELL );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	EXPECT_EQ( library.ParameterCount(), 0u );
	EXPECT_THROW( Instance( library, 4, 4 ), Error );
	EXPECT_NE( library.Log().back().find( "carries no ISF shader" ), std::string::npos );
}

TEST( IsfPlugin, PaddedHostTexturesAreReadWithinTheirPicture )
{
	Fixture f( isftest::MakePlugin( "Padded", R"(/*{ "ISFVSN": "2", "INPUTS": [ { "NAME": "inputImage", "TYPE": "image" } ] }*/
void main()
{
	vec2 p = vec2( 1.0 - isf_FragNormCoord.x, isf_FragNormCoord.y );
	// texture2D on an ISF image reads it as IMG_NORM_PIXEL does.
	gl_FragColor = 0.5 * IMG_NORM_PIXEL( inputImage, p ) + 0.5 * texture2D( inputImage, p ) + vec4( 0.0, IMG_SIZE( inputImage ) / 100.0, 0.0 );
})" ),
			   6, 3 );
	// A 6x3 red picture in a 16x4 texture padded with white.
	const InputTexture padded( SolidImage( 6, 3, { 255, 0, 0, 255 } ), 16, 4, { 255, 255, 255, 255 } );
	const Image frame = f.Frame( { &padded } );
	for( uint32_t x : { 0u, 5u } )
		for( uint32_t y : { 0u, 2u } )
			EXPECT_TRUE( Near( frame.At( x, y ), { 1, 0.06f, 0.03f, 1 } ) ) << x << "," << y << " " << Show( frame.At( x, y ) );
}

TEST( IsfPlugin, FilesGlsl410RefusesAsWrittenStillCompile )
{
	// A `const` reading a uniform, file-scope initialisers that are not
	// constant, an int returned as a float, user functions named like
	// built-ins (one of them `texture`) and a GLSL 4.10 keyword as a name.
	Fixture f( isftest::MakePlugin( "Lenient", R"(/*{ "ISFVSN": "2" }*/
const float halfWidth = RENDERSIZE.x * 0.5;
float scale = 1.0 / RENDERSIZE.y;
float one() { return 1; }
float round( float x ) { return floor( x + 0.5 ); }
vec4 texture( float v ) { return vec4( v ); }
void main()
{
	float sample = halfWidth * scale;
	gl_FragColor = vec4( sample / 4.0, one() * 0.5, round( 0.6 ) * 0.25, texture( 1.0 ).a );
})" ),
			   8, 2 );
	const Image frame = f.Frame();
	EXPECT_TRUE( Near( frame.At( 3, 1 ), { 0.5f, 0.5f, 0.25f, 1 } ) ) << Show( frame.At( 3, 1 ) );
}

TEST( IsfPlugin, UntouchedInputsHoldTheFilesDefaultsAsWritten )
{
	// A DEFAULT no option holds and a colour past 1 reach the shader as
	// written, as in the reference renderer; a point with MAX alone counts from 0.
	Fixture f( isftest::MakePlugin( "Written", R"(/*{ "ISFVSN": "2", "INPUTS": [
	{ "NAME": "l", "TYPE": "long", "VALUES": [ 1, 2 ], "LABELS": [ "a", "b" ], "DEFAULT": 7 },
	{ "NAME": "c", "TYPE": "color", "DEFAULT": [ 2.0, 0.0, 0.0, 1.0 ] },
	{ "NAME": "p", "TYPE": "point2D", "DEFAULT": [ 50, 25 ], "MAX": [ 100, 100 ] } ] }*/
void main() { gl_FragColor = vec4( float( l ) / 10.0, c.r / 4.0, p / 100.0 ); })" ),
			   2, 2 );
	Image frame = f.Frame();
	EXPECT_TRUE( Near( frame.At( 0, 0 ), { 0.7f, 0.5f, 0.5f, 0.25f } ) ) << Show( frame.At( 0, 0 ) );
	const auto p = f.library.Describe( f.Param( "p X" ) );
	EXPECT_EQ( p.minimum, 0.0f );
	EXPECT_EQ( p.maximum, 100.0f );
	f.instance.SetFloat( f.Param( "l" ), 1.0f );
	frame = f.Frame();
	EXPECT_TRUE( Near( frame.At( 0, 0 ), { 0.2f, 0.5f, 0.5f, 0.25f } ) ) << Show( frame.At( 0, 0 ) );
}

TEST( IsfPlugin, InputsNamedWithGlslWordsWork )
{
	// `texture` is a GLSL 4.10 function and `sample` a keyword; ISF files may use both as names.
	Fixture f( isftest::MakePlugin( "Words", R"(/*{ "ISFVSN": "2", "INPUTS": [
	{ "NAME": "texture", "TYPE": "image" }, { "NAME": "sample", "TYPE": "float", "DEFAULT": 0.5 } ] }*/
void main() { gl_FragColor = IMG_THIS_NORM_PIXEL( texture ) * sample + vec4( 0.0, 0.0, IMG_SIZE( texture ).x / 10.0, 0.0 ); })" ),
			   4, 4 );
	EXPECT_EQ( f.library.Identity().type, FF_EFFECT );
	const InputTexture red( SolidImage( 4, 4, { 255, 0, 0, 255 } ) );
	const Image frame = f.Frame( { &red } );
	EXPECT_TRUE( Near( frame.At( 1, 1 ), { 0.5f, 0, 0.4f, 0.5f } ) ) << Show( frame.At( 1, 1 ) );
}
