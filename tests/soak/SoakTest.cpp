// A long run of each plug-in through the host library: thousands of instance
// lifetimes at mixed sizes with random parameter changes and a frame or two
// each, then ten thousand frames on one instance while its options and size
// change. Afterwards nothing the plug-in made in GL may be alive, no GL error
// may be pending, and the heap may have grown by less than 8 MB since
// warm-up. SOAK_SCALE=n multiplies both counts (scripts/soak.sh).
#include <gtest/gtest.h>

#include <PlugHost.h>

#include <GL/glcorearb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace plughost;

namespace
{
struct Subject
{
	const char* name;
	uint32_t inputs;
};
const Subject subjects_[] = { { "VavoRozar", 0 }, { "SineField", 0 }, { "ToneGrade", 1 }, { "CrossFade", 2 } };

struct Size
{
	uint32_t width, height;
};
// Mostly small, so that the counts and not the pixels set the pace.
const Size sizes_[] = { { 1, 1 }, { 7, 3 }, { 32, 32 }, { 64, 48 }, { 33, 250 }, { 160, 90 }, { 640, 360 } };

uint32_t Scale()
{
	const char* text = std::getenv( "SOAK_SCALE" );
	const long scale = text ? std::strtol( text, nullptr, 10 ) : 1;
	return scale > 0 ? static_cast< uint32_t >( scale ) : 1;
}

class Soak : public ::testing::TestWithParam< Subject >
{
protected:
	void SetUp() override
	{
		static GLContext context;
		context.MakeCurrent();
		library = std::make_unique< PluginLibrary >( std::string( FFGL_PLUGIN_DIR ) + "/" + GetParam().name + ".so" );
		ASSERT_EQ( library->Initialise(), FF_SUCCESS );
		parameters = library->DescribeAll();
		for( const Size& size : sizes_ )
			targets.push_back( std::make_unique< RenderTarget >( size.width, size.height ) );
		for( uint32_t i = 0; i < GetParam().inputs; ++i )
			inputImages.push_back( std::make_unique< InputTexture >( GradientImage( 24 + 8 * i, 16 ), 32, 32 ) );
		for( const auto& input : inputImages )
			inputs.push_back( input.get() );
	}

	// A value a host might send: mostly inside the range, now and then at or
	// past its ends; a random choice for options, a short text for texts.
	void ChangeOne( Instance& instance )
	{
		if( parameters.empty() )
			return;
		const ParameterDescription& p = parameters[ random() % parameters.size() ];
		if( IsTextType( p.type ) )
		{
			instance.SetText( p.index, std::string( random() % 24, static_cast< char >( 'a' + random() % 26 ) ) );
			return;
		}
		float value = std::uniform_real_distribution< float >( p.minimum, p.maximum )( random );
		if( p.type == FF_TYPE_OPTION )
			value = static_cast< float >( random() % ( p.elements.size() + 1 ) );
		else if( p.type == FF_TYPE_BOOLEAN || p.type == FF_TYPE_EVENT )
			value = static_cast< float >( random() % 2 );
		else if( random() % 8 == 0 )
			value = random() % 2 ? p.minimum - 1.0f : p.maximum + 1.0f;
		instance.SetFloat( p.index, value );
	}

	void Frame( Instance& instance, size_t target )
	{
		ASSERT_EQ( RenderFrame( instance, *targets[ target ], inputs ), FF_SUCCESS );
	}

	std::mt19937 random{ 1234 };
	std::unique_ptr< PluginLibrary > library;
	std::vector< ParameterDescription > parameters;
	std::vector< std::unique_ptr< RenderTarget > > targets;
	std::vector< std::unique_ptr< InputTexture > > inputImages;
	std::vector< const InputTexture* > inputs;
};

TEST_P( Soak, LifetimesThenLongRunLeaveNothingBehind )
{
	const uint32_t lifetimes = 2000 * Scale(), frames = 10000 * Scale(), warmUp = 200;
	const size_t sizeCount = sizeof sizes_ / sizeof sizes_[ 0 ];
	const auto start = std::chrono::steady_clock::now();
	const GLCensus before = GLCensus::Take();
	size_t heapAfterWarmUp = 0;

	for( uint32_t life = 0; life < lifetimes; ++life )
	{
		if( life == warmUp )
			heapAfterWarmUp = HeapInUse();
		// The host's own copy of the clock's construction notices would
		// otherwise count as the plug-in's growth.
		library->ClearLog();
		const size_t s = random() % sizeCount;
		Instance instance( *library, sizes_[ s ].width, sizes_[ s ].height );
		for( uint32_t change = random() % 4; change > 0; --change )
			ChangeOne( instance );
		for( uint32_t frame = 1 + random() % 2; frame > 0; --frame )
			ASSERT_NO_FATAL_FAILURE( Frame( instance, s ) );
	}

	std::vector< const ParameterDescription* > options;// the clock's display type among them
	for( const ParameterDescription& p : parameters )
		if( p.type == FF_TYPE_OPTION && !p.elements.empty() )
			options.push_back( &p );
	{
		size_t s = 2;
		Instance instance( *library, sizes_[ s ].width, sizes_[ s ].height );
		for( uint32_t frame = 0; frame < frames; ++frame )
		{
			if( frame % 7 == 0 )
				ChangeOne( instance );
			if( frame % 25 == 0 && options.size() > 0 )
			{
				const ParameterDescription& option = *options[ random() % options.size() ];
				instance.SetFloat( option.index, static_cast< float >( random() % option.elements.size() ) );
			}
			if( frame % 50 == 0 )
			{
				s = random() % sizeCount;
				ASSERT_EQ( instance.Resize( sizes_[ s ].width, sizes_[ s ].height ), FF_SUCCESS );
			}
			ASSERT_NO_FATAL_FAILURE( Frame( instance, s ) );
		}
	}

	const GLCensus alive = GLCensus::Take().Since( before );
	EXPECT_TRUE( alive.Empty() ) << "GL objects left alive: " << alive.Describe();
	EXPECT_EQ( glGetError(), static_cast< GLenum >( GL_NO_ERROR ) );
	const double growth = ( static_cast< double >( HeapInUse() ) - static_cast< double >( heapAfterWarmUp ) ) / ( 1024.0 * 1024.0 );
	EXPECT_LT( growth, 8.0 );
	std::printf( "%s: %u lifetimes, %u frames, heap growth after warm-up %.2f MB, %zu GL objects alive, %.1f s\n",
				 GetParam().name, lifetimes, frames, growth, alive.Total(),
				 std::chrono::duration< double >( std::chrono::steady_clock::now() - start ).count() );
}

INSTANTIATE_TEST_SUITE_P( Plugins, Soak, ::testing::ValuesIn( subjects_ ),
						  []( const ::testing::TestParamInfo< Subject >& info ) { return std::string( info.param.name ); } );
}// namespace
