// The header, the identity rules, the payload and the GLSL translation,
// without a GL context.
#include <IsfBundle.h>
#include <IsfDocument.h>
#include <IsfExpression.h>
#include <IsfGlsl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace isf;

namespace
{
std::string ErrorOf( const std::string& text )
{
	try
	{
		ParseDocument( text, "T.fs" );
	}
	catch( const Error& error )
	{
		return error.what();
	}
	return "(none)";
}

std::string Header( const std::string& inputs, const std::string& extra = "" )
{
	return "/*{\n\"ISFVSN\": \"2\",\n\"INPUTS\": [" + inputs + "]" + extra + "\n}*/\nvoid main() { gl_FragColor = vec4(1.0); }\n";
}
}// namespace

TEST( IsfParse, ReadsEveryInputTypeWithItsValues )
{
	const Document d = ParseDocument(
		Header( R"({"NAME":"e","TYPE":"event"}, {"NAME":"b","TYPE":"bool","DEFAULT":1.0},
		{"NAME":"l","TYPE":"long","VALUES":[2,4,8],"LABELS":["two","four","eight"],"DEFAULT":4},
		{"NAME":"f","LABEL":"Amount","TYPE":"float","MIN":-1,"MAX":2,"DEFAULT":0.5},
		{"NAME":"p","TYPE":"point2D","DEFAULT":[3,4]}, {"NAME":"c","TYPE":"color","DEFAULT":[0.1,0.2,0.3]},
		{"NAME":"w","TYPE":"audio","MAX":64}, {"NAME":"s","TYPE":"audioFFT"}, {"NAME":"inputImage","TYPE":"image"})" ),
		"T.fs" );
	ASSERT_EQ( d.inputs.size(), 9u );
	EXPECT_EQ( d.inputs[ 0 ].type, InputType::Event );
	EXPECT_TRUE( d.inputs[ 1 ].hasDefault );
	EXPECT_EQ( d.inputs[ 1 ].defaultValue[ 0 ], 1.0f );
	EXPECT_EQ( d.inputs[ 2 ].values, ( std::vector< int >{ 2, 4, 8 } ) );
	EXPECT_EQ( d.inputs[ 2 ].labels[ 2 ], "eight" );
	EXPECT_EQ( d.inputs[ 3 ].label, "Amount" );
	EXPECT_EQ( d.inputs[ 3 ].minimum[ 0 ], -1.0f );
	EXPECT_EQ( d.inputs[ 4 ].defaultValue[ 1 ], 4.0f );
	EXPECT_FALSE( d.inputs[ 4 ].hasMin );
	// Three colour components: alpha 1.
	EXPECT_EQ( d.inputs[ 5 ].defaultValue[ 3 ], 1.0f );
	EXPECT_EQ( d.inputs[ 6 ].samples, 64u );
	EXPECT_EQ( d.inputs[ 7 ].samples, 0u );
	EXPECT_EQ( d.kind, Kind::Effect );
	EXPECT_FALSE( d.version1 );
	EXPECT_EQ( d.passes.size(), 1u );
}

TEST( IsfParse, KindsFromImageInputs )
{
	EXPECT_EQ( ParseDocument( Header( "" ), "T.fs" ).kind, Kind::Source );
	const Document mixer = ParseDocument(
		Header( R"({"NAME":"extra","TYPE":"image"},{"NAME":"endImage","TYPE":"image"},{"NAME":"startImage","TYPE":"image"},{"NAME":"progress","TYPE":"float"})" ),
		"T.fs" );
	EXPECT_EQ( mixer.kind, Kind::Mixer );
	// start, end, then the others in file order.
	ASSERT_EQ( mixer.imageInputs.size(), 3u );
	EXPECT_EQ( mixer.inputs[ mixer.imageInputs[ 0 ] ].name, "startImage" );
	EXPECT_EQ( mixer.inputs[ mixer.imageInputs[ 1 ] ].name, "endImage" );
	EXPECT_EQ( mixer.inputs[ mixer.imageInputs[ 2 ] ].name, "extra" );
	std::string many;
	for( int k = 0; k < 9; ++k )
		many += std::string( k ? "," : "" ) + "{\"NAME\":\"i" + std::to_string( k ) + "\",\"TYPE\":\"image\"}";
	EXPECT_NE( ErrorOf( Header( many ) ).find( "9 image inputs; a plug-in made from an ISF file takes at most 8" ), std::string::npos );
}

TEST( IsfParse, BadHeadersSayWhatAndWhere )
{
	EXPECT_EQ( ErrorOf( "void main(){}" ), "T.fs: no JSON header: an ISF file starts with a /* ... */ comment holding a JSON object" );
	// The line of the JSON error in the file.
	EXPECT_NE( ErrorOf( "/*{\n\"INPUTS\": [\n{\"NAME\": \"a\" \"TYPE\": \"float\"}\n]}*/\nvoid main(){}" ).find( "T.fs:3: malformed JSON header" ),
			   std::string::npos );
	EXPECT_NE( ErrorOf( Header( R"({"NAME":"a","TYPE":"colour"})" ) ).find( "input \"a\" has the unknown TYPE \"colour\"" ), std::string::npos );
	EXPECT_NE( ErrorOf( Header( R"({"NAME":"a","TYPE":"float"},{"NAME":"a","TYPE":"bool"})" ) ).find( "the name \"a\" is used twice" ),
			   std::string::npos );
	EXPECT_NE( ErrorOf( Header( R"({"NAME":"buf","TYPE":"float"})", R"(, "PASSES": [{"TARGET":"buf"}])" ) ).find( "used twice" ), std::string::npos );
	EXPECT_NE( ErrorOf( Header( R"({"NAME":"TIME","TYPE":"float"})" ) ).find( "built-ins" ), std::string::npos );
	EXPECT_NE( ErrorOf( Header( R"({"NAME":"a b","TYPE":"float"})" ) ).find( "GLSL identifier" ), std::string::npos );
	EXPECT_NE( ErrorOf( Header( R"({"NAME":"a","TYPE":"float","DEFAULT":"x"})" ) ).find( "DEFAULT is not a number" ), std::string::npos );
	EXPECT_NE( ErrorOf( Header( R"({"NAME":"a","TYPE":"long","VALUES":[1,2],"LABELS":["x"]})" ) ).find( "LABELS" ), std::string::npos );
	EXPECT_NE( ErrorOf( "/*{\"INPUTS\": [] }" ).find( "never closed" ), std::string::npos );
}

TEST( IsfParse, VersionOneBuffersAndPasses )
{
	const Document d = ParseDocument( "/*{\"PERSISTENT_BUFFERS\":[\"acc\"],\"PASSES\":[{\"TARGET\":\"acc\",\"WIDTH\":\"$WIDTH/2\",\"FLOAT\":1},{}]}*/\n"
									  "void main(){ gl_FragColor = texture2D(acc, vv_FragNormCoord); }",
									  "V.fs" );
	EXPECT_TRUE( d.version1 );
	ASSERT_EQ( d.passes.size(), 2u );
	EXPECT_TRUE( d.passes[ 0 ].persistent );
	EXPECT_TRUE( d.passes[ 0 ].floatTarget );
	EXPECT_EQ( d.passes[ 0 ].width, "$WIDTH/2" );
	EXPECT_FALSE( d.passes[ 1 ].persistent );
	EXPECT_EQ( d.bodyLine, 1 );
}

TEST( IsfExpression, SizesWithMuparser )
{
	const std::map< std::string, double > v = { { "WIDTH", 640 }, { "HEIGHT", 360 }, { "blur", 2 } };
	EXPECT_EQ( Evaluate( "floor($WIDTH/3.0)", v ), 213.0 );
	EXPECT_EQ( Evaluate( "max(floor($WIDTH*0.25),1.0) + $blur + $WIDTH", v ), 802.0 );
	EXPECT_THROW( Evaluate( "$WIDTH +", v ), Error );
	EXPECT_THROW( Evaluate( "$nothing", v ), Error );
	EXPECT_THROW( Evaluate( "$WIDTH/0", v ), Error );
	EXPECT_EQ( PixelCount( 213.9, 8192 ), 213 );
	EXPECT_EQ( PixelCount( -5, 8192 ), 1 );
	EXPECT_EQ( PixelCount( 1e30, 8192 ), 8192 );
}

TEST( IsfIdentity, NamesFitSixteenBytesAndIdsAreStable )
{
	EXPECT_EQ( FitName( "Ripple  Rings" ), "Ripple Rings" );
	EXPECT_EQ( FitName( "Caf\xc3\xa9 Noir" ), "Caf Noir" );
	const std::string a = FitName( "A Very Long Shader Name One" ), b = FitName( "A Very Long Shader Name Two" );
	EXPECT_EQ( a.size(), 16u );
	EXPECT_EQ( a.substr( 0, 14 ), "A Very Long S~" );
	EXPECT_NE( a, b );
	EXPECT_EQ( FitName( "" ), "ISF" );
	EXPECT_EQ( DeriveId( "Ripple Rings" ), DeriveId( "Ripple Rings" ) );
	EXPECT_NE( DeriveId( "Ripple Rings" ), DeriveId( "Ripple Ring" ) );
	EXPECT_TRUE( ValidId( DeriveId( "x" ) ) );
	EXPECT_FALSE( ValidId( "abc" ) );
	EXPECT_FALSE( ValidId( "ab\ncd" ) );
}

TEST( IsfBundle, PayloadRoundTripsAndDamageIsRefused )
{
	const auto dir = std::filesystem::temp_directory_path() / ( "isf-bundle-" + std::to_string( ::getpid() ) );
	std::filesystem::create_directories( dir );
	Bundle bundle{ "Name", "ABCD", "A.fs", "A.vs", "fs text", "vs text", { { "img", { 1, 2, 3 } } } };
	const auto payload = Serialize( bundle );
	const std::string path   = ( dir / "lib.so" ).string();
	const std::string prefix = "\x7f" "ELF and the rest of a library";
	{
		std::ofstream file( path, std::ios::binary );
		file << prefix;
		file.write( reinterpret_cast< const char* >( payload.data() ), static_cast< std::streamsize >( payload.size() ) );
	}
	Bundle read;
	std::string error;
	ASSERT_TRUE( ReadAppended( path, read, error ) ) << error;
	EXPECT_EQ( read.name, "Name" );
	EXPECT_EQ( read.vertex, "vs text" );
	ASSERT_EQ( read.images.size(), 1u );
	EXPECT_EQ( read.images[ 0 ].second, ( std::vector< uint8_t >{ 1, 2, 3 } ) );
	EXPECT_EQ( LibrarySize( path ), prefix.size() );
	// A cut-off payload is refused, not half read.
	std::filesystem::resize_file( path, std::filesystem::file_size( path ) - 20 );
	EXPECT_FALSE( ReadAppended( path, read, error ) );
	EXPECT_NE( error.find( "carries no ISF shader" ), std::string::npos );
	std::filesystem::remove_all( dir );
}

TEST( IsfBundle, MissingImportedImagesAndBadPngsAreNamed )
{
	const auto dir = std::filesystem::temp_directory_path() / ( "isf-images-" + std::to_string( ::getpid() ) );
	std::filesystem::create_directories( dir );
	const std::string fs = ( dir / "Img.fs" ).string();
	std::ofstream( fs ) << "/*{\"ISFVSN\":\"2\",\"IMPORTED\":{\"logo\":{\"PATH\":\"logo.png\"}}}*/\nvoid main(){ gl_FragColor = IMG_THIS_PIXEL(logo); }";
	try
	{
		LoadIsfFiles( fs );
		FAIL() << "no error";
	}
	catch( const Error& error )
	{
		EXPECT_NE( std::string( error.what() ).find( "Img.fs: imported image \"logo\": no file" ), std::string::npos ) << error.what();
	}
	std::ofstream( dir / "logo.png" ) << "not a png";
	try
	{
		LoadIsfFiles( fs );
		FAIL() << "no error";
	}
	catch( const Error& error )
	{
		EXPECT_NE( std::string( error.what() ).find( "is not a readable PNG image" ), std::string::npos ) << error.what();
	}
	std::filesystem::remove_all( dir );
}

TEST( IsfGlsl, MacrosKeepNestedArgumentsWhole )
{
	const Document d = ParseDocument( Header( R"({"NAME":"inputImage","TYPE":"image"})" ), "T.fs" );
	Document doc     = d;
	doc.body         = "void main(){ gl_FragColor = IMG_NORM_PIXEL(inputImage, vec2(min(a, b), c)) + IMG_PIXEL(inputImage, IMG_SIZE(inputImage) * 0.5)"
					   " + IMG_THIS_PIXEL(inputImage) + IMG_NORM_THIS_PIXEL(inputImage); }";
	const std::string fs = Translate( doc, "" ).fragment;
	const std::string rect = ", _inputImage_imgRect.xy, _inputImage_imgRect.zw))";
	EXPECT_NE( fs.find( "texture(inputImage, clamp((vec2(min(a, b), c)) * _inputImage_imgScale" + rect ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "texture(inputImage, clamp(((_inputImage_imgSize) * 0.5) / _inputImage_imgSize * _inputImage_imgScale" + rect ),
			   std::string::npos ) << fs;
	EXPECT_NE( fs.find( "texture(inputImage, clamp(gl_FragCoord.xy / _inputImage_imgSize * _inputImage_imgScale" + rect ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "texture(inputImage, clamp(isf_FragNormCoord * _inputImage_imgScale" + rect ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "isf_FragColor =" ), std::string::npos );
}

TEST( IsfGlsl, UserBuiltinsRenamedGlobalsMovedLinesKept )
{
	Document doc = ParseDocument( Header( "" ), "T.fs" );
	doc.body     = "\nfloat sign(float x) { return 1.0; }\nvec4 texture(vec2 p) { return vec4(p, 0.0, 1.0); }\n"
				   "float w = RENDERSIZE.x * 0.5, h = 2.0;\nconst float k = 3.0;\nvarying vec2 v;\n"
				   "void main() {\n  float sample = sign(w) + v.x;\n  gl_FragColor = texture2D(s, v) + texture(v);\n  gl_FragData[ 0 ].a = 1.0;\n}\n";
	doc.bodyLine = 5;
	const std::string fs = Translate( doc, "" ).fragment;
	EXPECT_NE( fs.find( "float isf_u_sign(float x)" ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "vec4 isf_u_texture(vec2 p)" ), std::string::npos );
	EXPECT_NE( fs.find( "isf_u_sign(w)" ), std::string::npos );
	EXPECT_NE( fs.find( "float isf_u_sample" ), std::string::npos );
	EXPECT_NE( fs.find( "texture(s, v) + isf_u_texture(v)" ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "float w , h ;" ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "void main() { w = RENDERSIZE.x * 0.5; h = 2.0; " ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "const float k = 3.0;" ), std::string::npos );
	EXPECT_NE( fs.find( "in vec2 v;" ), std::string::npos );
	EXPECT_NE( fs.find( "isf_FragColor.a = 1.0;" ), std::string::npos );
	// The body keeps its line count after the #line directive.
	const std::string body = fs.substr( fs.find( "#line 5 0\n" ) + 10 );
	EXPECT_EQ( std::count( body.begin(), body.end(), '\n' ), std::count( doc.body.begin(), doc.body.end(), '\n' ) );
	// Vertex stage: varying is an output, v1 names mapped.
	const std::string vs = Translate( doc, "varying vec2 t;\nvoid main(){ vv_vertShaderInit(); t = vv_FragNormCoord; }" ).vertex;
	EXPECT_NE( vs.find( "out vec2 t;" ), std::string::npos );
	EXPECT_NE( vs.find( "isf_vertShaderInit(); t = isf_FragNormCoord;" ), std::string::npos ) << vs;
}

TEST( IsfGlsl, FloatLiteralFallbackLeavesIntContextsAlone )
{
	Document doc = ParseDocument( Header( "" ), "T.fs" );
	doc.body     = "float f(float a) { return 1; }\nvoid main() { int n = 3; float a[2]; a[1] = 2; for (int i = 0; i < 4; i++) {} "
				   "gl_FragColor = vec4(f(0.0) / 2, n * 2, ivec2(1, 2)); }";
	const std::string fs = Translate( doc, "", TranslateOptions{ true } ).fragment;
	EXPECT_NE( fs.find( "return 1.0;" ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "int n = 3;" ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "a[1] = 2.0;" ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "int i = 0; i < 4;" ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "f(0.0) / 2.0" ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "n * 2" ), std::string::npos ) << fs;
	EXPECT_NE( fs.find( "ivec2(1, 2)" ), std::string::npos ) << fs;
}

TEST( IsfGlsl, LogPositionsNameTheFiles )
{
	EXPECT_EQ( DescribeLog( "0:12(5): error: `foo' undeclared\n1:3(1): error: bad\n", "A.fs", "A.vs" ),
			   "A.fs:12:5: error: `foo' undeclared\nA.vs:3:1: error: bad\n" );
}
