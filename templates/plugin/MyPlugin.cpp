// A source plug-in on the quick-start framework: one shape in the middle of
// the picture, filled with a colour typed in as hex text. Copy this folder,
// rename the class and the file, and give the plug-in its own ID and name.
#include <FFGLSDK.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

class MyPlugin : public ffglqs::Source
{
public:
	MyPlugin();
	// Runs every frame with the program bound, after the parameters' uniforms.
	void Update() override;

private:
	float fill[ 3 ] = { 1.0f, 1.0f, 1.0f };
};

// Identity the host reads before any instance exists: factory, a four
// character ID of your own, name, interface version 2.1, plug-in version 1.0,
// type, description, about.
static CFFGLPluginInfo PluginInfo( PluginFactory< MyPlugin >,
                                   "MyPl",
                                   "MyPlugin",
                                   2,
                                   1,
                                   1,
                                   0,
                                   FF_SOURCE,
                                   "A shape filled with a colour given as hex text",
                                   "Made from the FFGL SDK template" );

// Each parameter is a uniform of the same name: `size` and `shape` are
// floats; `fill` is this plug-in's own, sent from Update().
static const char fragmentShaderCode_[] = R"(
uniform vec3 fill;

void main()
{
	// Centred, in units of the shorter side, so the shape keeps its proportions.
	vec2 p = ( i_uv - 0.5 ) * resolution / min( resolution.x, resolution.y );
	float reach = shape < 0.5 ? length( p ) : shape < 1.5 ? max( abs( p.x ), abs( p.y ) ) : abs( p.x ) + abs( p.y );
	fragColor = reach < size * 0.5 ? vec4( fill, 1.0 ) : vec4( 0.0 );
}
)";

MyPlugin::MyPlugin()
{
	// A value in its own range: the host shows 0.1 to 1 and sends values in it.
	AddParam( ffglqs::ParamRange::Create( "size", 0.5f, { 0.1f, 1.0f } ) );
	AddParam( ffglqs::ParamOption::Create( "shape", { { "Disc", 0.0f }, { "Square", 1.0f }, { "Diamond", 2.0f } } ) );
	AddParam( ffglqs::ParamText::create( "colour", "#FF8000" ) );
	SetFragmentShader( fragmentShaderCode_ );
}

void MyPlugin::Update()
{
	// "#RRGGBB" or "RRGGBB"; anything else keeps the last good colour.
	std::string text = GetParamText( "colour" )->text;
	if( !text.empty() && text[ 0 ] == '#' )
		text.erase( 0, 1 );
	auto isHex = []( unsigned char c ) { return std::isxdigit( c ) != 0; };
	if( text.size() == 6 && std::all_of( text.begin(), text.end(), isHex ) )
	{
		unsigned long rgb = std::strtoul( text.c_str(), nullptr, 16 );
		fill[ 0 ] = ( ( rgb >> 16 ) & 0xFF ) / 255.0f;
		fill[ 1 ] = ( ( rgb >> 8 ) & 0xFF ) / 255.0f;
		fill[ 2 ] = ( rgb & 0xFF ) / 255.0f;
	}
	shader.Set( "fill", fill[ 0 ], fill[ 1 ], fill[ 2 ] );
}
