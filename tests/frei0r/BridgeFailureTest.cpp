// What hosts do wrong or meet: null instances, plug-ins that cannot make an
// instance or a frame, modules with nothing inside, unusable sizes, f0r_deinit
// before the instances go. Each gets a clear answer and at most one line.
#include "Frei0rModule.h"

#include <validate/ElfSymbols.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

using namespace frei0rtest;

namespace
{
std::vector< std::string > Lines( const std::string& text )
{
	std::vector< std::string > lines;
	std::istringstream in( text );
	for( std::string line; std::getline( in, line ); )
		lines.push_back( line );
	return lines;
}

bool Contains( const std::string& text, const std::string& part )
{
	return text.find( part ) != std::string::npos;
}
}// namespace

TEST( Failures, NullInstancesAndNullArgumentsAreIgnored )
{
	Frei0rModule module( MakeModule( PluginPath( "VavoRozar" ), "vavo_rozar_null.so" ) );
	ASSERT_EQ( module.init(), 1 );
	std::vector< uint32_t > frame( 16, 0x12345678 );
	double value = 0.5;
	module.update( nullptr, 0.0, nullptr, frame.data() );
	module.update2( nullptr, 0.0, nullptr, nullptr, nullptr, frame.data() );
	module.setParamValue( nullptr, &value, 0 );
	module.getParamValue( nullptr, &value, 0 );
	module.destruct( nullptr );
	module.getPluginInfo( nullptr );
	module.getParamInfo( nullptr, 0 );
	EXPECT_EQ( frame, std::vector< uint32_t >( 16, 0x12345678 ) );
	EXPECT_EQ( value, 0.5 );

	f0r_instance_t instance = module.construct( 4, 4 );
	ASSERT_NE( instance, nullptr );
	module.setParamValue( instance, nullptr, 0 );
	module.getParamValue( instance, nullptr, 0 );
	module.setParamValue( instance, &value, 13 );
	module.setParamValue( instance, &value, -1 );
	module.getParamValue( instance, &value, 99 );
	EXPECT_EQ( value, 0.5 );
	module.update( instance, 0.0, nullptr, nullptr );
	module.destruct( instance );
	module.deinit();
}

TEST( Failures, APluginWhoseShaderDoesNotCompileIsRefusedWithOneLine )
{
	Frei0rModule module( MakeModule( BAD_SHADER_PLUGIN, "bad_shader.so" ) );
	ASSERT_EQ( module.init(), 1 );
	testing::internal::CaptureStderr();
	f0r_instance_t first  = module.construct( 64, 48 );
	f0r_instance_t second = module.construct( 64, 48 );// MLT tries again every frame
	module.update( second, 0.0, nullptr, nullptr );
	const auto lines = Lines( testing::internal::GetCapturedStderr() );
	EXPECT_EQ( first, nullptr );
	EXPECT_EQ( second, nullptr );
	ASSERT_EQ( lines.size(), 1u );
	EXPECT_TRUE( Contains( lines[ 0 ], "Bad Shader (bad_shader.so)" ) ) << lines[ 0 ];
	EXPECT_TRUE( Contains( lines[ 0 ], "failed to create an instance" ) ) << lines[ 0 ];
	module.deinit();
}

TEST( Failures, AFailingFrameIsTransparentBlackAndSaidOnce )
{
	Frei0rModule module( MakeModule( BAD_FRAME_PLUGIN, "bad_frame.so" ) );
	ASSERT_EQ( module.init(), 1 );
	f0r_instance_t instance = module.construct( 8, 8 );
	ASSERT_NE( instance, nullptr );
	testing::internal::CaptureStderr();
	for( int k = 0; k < 3; ++k )
	{
		std::vector< uint32_t > frame( 64, 0xffffffff );
		module.update( instance, k * 0.04, nullptr, frame.data() );
		EXPECT_EQ( frame, std::vector< uint32_t >( 64, 0 ) ) << "frame " << k;
	}
	const auto lines = Lines( testing::internal::GetCapturedStderr() );
	ASSERT_EQ( lines.size(), 1u );
	EXPECT_TRUE( Contains( lines[ 0 ], "Bad Frame (bad_frame.so)" ) ) << lines[ 0 ];
	EXPECT_TRUE( Contains( lines[ 0 ], "transparent black" ) ) << lines[ 0 ];
	module.destruct( instance );
	module.deinit();
}

TEST( Failures, AModuleWithoutAPluginInsideSaysSoAndMakesNoInstance )
{
	const std::string path = std::string( FREI0R_TEST_MODULE_DIR ) + "/bare_shell.so";
	std::filesystem::copy_file( FFGL_FREI0R_BRIDGE, path, std::filesystem::copy_options::overwrite_existing );
	Frei0rModule module( path );
	testing::internal::CaptureStderr();
	EXPECT_EQ( module.init(), 0 );
	f0r_plugin_info_t info{};
	module.getPluginInfo( &info );
	EXPECT_EQ( module.construct( 64, 48 ), nullptr );
	const auto lines = Lines( testing::internal::GetCapturedStderr() );
	ASSERT_EQ( lines.size(), 1u );
	EXPECT_TRUE( Contains( lines[ 0 ], "bare_shell.so" ) ) << lines[ 0 ];
	EXPECT_TRUE( Contains( lines[ 0 ], "carries no FFGL plug-in" ) ) << lines[ 0 ];
	EXPECT_EQ( info.num_params, 0 );
	EXPECT_EQ( info.frei0r_version, 1 );
	module.deinit();
}

TEST( Failures, SizesOfZeroOrBeyondWhatGLDrawsAreRefused )
{
	Frei0rModule module( MakeModule( PluginPath( "SineField" ), "sinefield_sizes.so" ) );
	ASSERT_EQ( module.init(), 1 );
	testing::internal::CaptureStderr();
	EXPECT_EQ( module.construct( 0, 48 ), nullptr );
	EXPECT_EQ( module.construct( 64, 0 ), nullptr );
	EXPECT_EQ( module.construct( 16385, 8 ), nullptr );
	EXPECT_EQ( module.construct( 8, 4000000000u ), nullptr );
	const auto lines = Lines( testing::internal::GetCapturedStderr() );
	EXPECT_EQ( lines.size(), 4u );
	for( const auto& line : lines )
		EXPECT_TRUE( Contains( line, "each side must be 1 to 16384" ) ) << line;
	f0r_instance_t tiny = module.construct( 1, 1 );
	ASSERT_NE( tiny, nullptr );
	uint32_t pixel = 0;
	module.update( tiny, 0.0, nullptr, &pixel );
	module.destruct( tiny );
	module.deinit();
}

TEST( Failures, InstancesOutliveDeinitAsMeltDestroysThemAfterIt )
{
	Frei0rModule module( MakeModule( PluginPath( "VavoRozar" ), "vavo_rozar_deinit.so" ) );
	ASSERT_EQ( module.init(), 1 );
	f0r_instance_t instance = module.construct( 32, 32 );
	ASSERT_NE( instance, nullptr );
	std::vector< uint32_t > before( 32 * 32 ), after( 32 * 32 );
	module.SetDouble( instance, 6, 1.0 );
	module.update( instance, 0.0, nullptr, before.data() );
	module.deinit();
	module.update( instance, 0.0, nullptr, after.data() );
	EXPECT_EQ( before, after );
	module.destruct( instance );
	// And a second round in the same process loads the plug-in again.
	ASSERT_EQ( module.init(), 1 );
	instance = module.construct( 32, 32 );
	ASSERT_NE( instance, nullptr );
	module.destruct( instance );
	module.deinit();
}

// Plug-ins unpacked into memory files and loaded now.
std::size_t LoadedPluginCopies()
{
	std::size_t count = 0;
	for( const auto& entry : std::filesystem::directory_iterator( "/proc/self/fd" ) )
	{
		std::error_code error;
		const auto target = std::filesystem::read_symlink( entry.path(), error ).string();
		if( target.rfind( "/memfd:ffgl-plugin", 0 ) == 0 )
			++count;
	}
	return count;
}

TEST( Failures, TwoFiltersOfOneModuleShareOnePluginUntilTheLastDeinit )
{
	// ffmpeg calls f0r_init and f0r_deinit once per filter.
	Frei0rModule module( MakeModule( PluginPath( "ToneGrade" ), "tonegrade_twice.so" ) );
	const std::size_t before = LoadedPluginCopies();
	ASSERT_EQ( module.init(), 1 );
	ASSERT_EQ( module.init(), 1 );
	EXPECT_EQ( LoadedPluginCopies(), before + 1 );
	module.deinit();
	f0r_instance_t instance = module.construct( 8, 8 );
	ASSERT_NE( instance, nullptr );
	EXPECT_EQ( LoadedPluginCopies(), before + 1 );
	module.deinit();
	EXPECT_EQ( LoadedPluginCopies(), before + 1 ) << "the instance holds the plug-in";
	module.destruct( instance );
	EXPECT_EQ( LoadedPluginCopies(), before );
}

TEST( Failures, TheModuleExportsTheFrei0rEntryPointsAndNothingElse )
{
	auto symbols = plughost::validate::ExportedSymbols( MakeModule( PluginPath( "VavoRozar" ), "vavo_rozar_exports.so" ) );
	std::sort( symbols.begin(), symbols.end() );
	const std::vector< std::string > expected = { "f0r_construct",       "f0r_deinit",         "f0r_destruct",
												  "f0r_get_param_info",  "f0r_get_param_value", "f0r_get_plugin_info",
												  "f0r_init",            "f0r_set_param_value", "f0r_update",
												  "f0r_update2" };
	EXPECT_EQ( symbols, expected );
}

// A fork copies only the forking thread, not an instance's GL thread: an
// instance used in the child must fail at once instead of waiting forever.
TEST( Failures, AnInstanceUsedInAForkedChildFailsAtOnceAndTheParentsKeepsWorking )
{
	Frei0rModule module( MakeModule( PluginPath( "VavoRozar" ), "vavo_rozar_fork.so" ) );
	ASSERT_EQ( module.init(), 1 );
	f0r_instance_t instance = module.construct( 32, 32 );
	ASSERT_NE( instance, nullptr );
	auto opaque = []( const std::vector< uint32_t >& frame ) {
		return std::any_of( frame.begin(), frame.end(), []( uint32_t pixel ) { return pixel != 0; } );
	};
	std::vector< uint32_t > frame( 32 * 32, 0 );
	module.update( instance, 0.0, nullptr, frame.data() );
	ASSERT_TRUE( opaque( frame ) );

	int errors[ 2 ];
	ASSERT_EQ( pipe( errors ), 0 );
	const pid_t child = fork();
	ASSERT_GE( child, 0 );
	if( child == 0 )
	{
		// Only async-signal-safe habits from here: no test macros, _exit.
		alarm( 10 );// a hang ends as SIGALRM
		dup2( errors[ 1 ], STDERR_FILENO );
		std::vector< uint32_t > copy( 32 * 32, 0xABABABABu );
		module.update( instance, 1.0, nullptr, copy.data() );
		module.destruct( instance );
		_exit( opaque( copy ) ? 1 : 0 );
	}
	close( errors[ 1 ] );
	std::string said;
	char buffer[ 256 ];
	for( ssize_t got; ( got = read( errors[ 0 ], buffer, sizeof buffer ) ) > 0; )
		said.append( buffer, static_cast< std::size_t >( got ) );
	close( errors[ 0 ] );
	int status = 0;
	ASSERT_EQ( waitpid( child, &status, 0 ), child );
	ASSERT_TRUE( WIFEXITED( status ) ) << "the child was ended by signal " << WTERMSIG( status );
	EXPECT_EQ( WEXITSTATUS( status ), 0 ) << "the child's frame was not transparent black";
	EXPECT_TRUE( Contains( said, "forked" ) ) << said;
	EXPECT_EQ( Lines( said ).size(), 1u ) << said;

	std::fill( frame.begin(), frame.end(), 0u );
	module.update( instance, 2.0, nullptr, frame.data() );
	EXPECT_TRUE( opaque( frame ) );
	module.destruct( instance );
	module.deinit();
}
