// `plughost frei0r`: the module names, the files it writes and what it refuses.
#include "Frei0rModule.h"

#include <Cli.h>
#include <frei0r/ModuleName.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;
using namespace frei0rtest;

namespace
{
struct Outcome
{
	int status = -1;
	std::string out, err;
};

Outcome Frei0r( std::vector< std::string > args )
{
	args.insert( args.begin(), "frei0r" );
	std::ostringstream out, err;
	Outcome run;
	run.status = plughost::cli::RunCli( args, out, err );
	run.out    = out.str();
	run.err    = err.str();
	return run;
}

std::string Scratch( const std::string& name )
{
	const fs::path dir = fs::path( FREI0R_TEST_MODULE_DIR ) / ( "command-" + name );
	fs::remove_all( dir );
	return dir.string();
}

std::vector< std::string > Files( const std::string& dir )
{
	std::vector< std::string > names;
	for( const auto& entry : fs::directory_iterator( dir ) )
		names.push_back( entry.path().filename().string() );
	std::sort( names.begin(), names.end() );
	return names;
}
}// namespace

TEST( ModuleName, LowerCaseWithEveryRunOfOtherCharactersOneUnderscore )
{
	using plughost::cli::ModuleName;
	EXPECT_EQ( ModuleName( "Vavo Rozar" ), "vavo_rozar" );
	EXPECT_EQ( ModuleName( "ToneGrade" ), "tonegrade" );
	EXPECT_EQ( ModuleName( "A--B  c.d" ), "a_b_c_d" );
	EXPECT_EQ( ModuleName( " Glow+ 2 " ), "_glow_2_" );
	EXPECT_EQ( ModuleName( "Caf\xc3\xa9 Noir" ), "caf_noir" );
	EXPECT_EQ( ModuleName( "!!" ), "" );
}

TEST( Frei0rCommand, WritesOneSelfContainedModulePerPluginAndPrintsEachPath )
{
	const std::string dir = Scratch( "four" );
	// A copy of the clock that is gone once its module is written.
	const std::string copy = Scratch( "copy" ) + "-VavoRozar.so";
	fs::copy_file( PluginPath( "VavoRozar" ), copy, fs::copy_options::overwrite_existing );
	const Outcome run = Frei0r( { copy, PluginPath( "ToneGrade" ), PluginPath( "CrossFade" ), PluginPath( "SineField" ), "--dir", dir } );
	ASSERT_EQ( run.status, 0 ) << run.err;
	fs::remove( copy );
	EXPECT_EQ( run.out, dir + "/vavo_rozar.so\n" + dir + "/tonegrade.so\n" + dir + "/crossfade.so\n" + dir + "/sinefield.so\n" );
	EXPECT_EQ( Files( dir ), ( std::vector< std::string >{ "crossfade.so", "sinefield.so", "tonegrade.so", "vavo_rozar.so" } ) );

	Frei0rModule module( dir + "/vavo_rozar.so" );
	ASSERT_EQ( module.init(), 1 );
	f0r_plugin_info_t info{};
	module.getPluginInfo( &info );
	EXPECT_STREQ( info.name, "Vavo Rozar" );
	f0r_instance_t instance = module.construct( 32, 32 );
	ASSERT_NE( instance, nullptr );
	std::vector< uint32_t > frame( 32 * 32 );
	module.update( instance, 0.0, nullptr, frame.data() );
	EXPECT_NE( frame, std::vector< uint32_t >( 32 * 32, 0 ) );
	module.destruct( instance );
	module.deinit();

	// Written again over modules in use: the loaded one is untouched.
	const Outcome again = Frei0r( { PluginPath( "VavoRozar" ), "--dir", dir } );
	EXPECT_EQ( again.status, 0 ) << again.err;
	EXPECT_EQ( Files( dir ).size(), 4u );
}

TEST( Frei0rCommand, DefaultsToTheUsersFrei0rFolder )
{
	const std::string home = Scratch( "home" );
	const char* saved      = std::getenv( "HOME" );
	const std::string previous = saved ? saved : "";
	setenv( "HOME", home.c_str(), 1 );
	const Outcome run = Frei0r( { PluginPath( "SineField" ) } );
	if( saved )
		setenv( "HOME", previous.c_str(), 1 );
	else
		unsetenv( "HOME" );
	ASSERT_EQ( run.status, 0 ) << run.err;
	EXPECT_EQ( run.out, home + "/.frei0r-1/lib/sinefield.so\n" );
	EXPECT_TRUE( fs::exists( home + "/.frei0r-1/lib/sinefield.so" ) );
}

TEST( Frei0rCommand, RefusesPluginsItCannotLoadOrThatShareAModuleNameAndWritesNothing )
{
	const std::string dir = Scratch( "refused" );
	Outcome twice = Frei0r( { PluginPath( "ToneGrade" ), PluginPath( "ToneGrade" ), "--dir", dir } );
	EXPECT_EQ( twice.status, 1 );
	EXPECT_NE( twice.err.find( "would both be the frei0r module tonegrade.so" ), std::string::npos ) << twice.err;
	EXPECT_FALSE( fs::exists( dir ) );

	const std::string text = Scratch( "text" ) + ".so";
	std::ofstream( text ) << "not a library\n";
	Outcome bad = Frei0r( { PluginPath( "ToneGrade" ), text, "--dir", dir } );
	EXPECT_EQ( bad.status, 1 );
	EXPECT_NE( bad.err.find( "cannot load " + text ), std::string::npos ) << bad.err;
	EXPECT_TRUE( bad.out.empty() );
	EXPECT_FALSE( fs::exists( dir ) );

	Outcome missing = Frei0r( { dir + "/missing.so", "--dir", dir } );
	EXPECT_EQ( missing.status, 1 );
	EXPECT_NE( missing.err.find( "no such file" ), std::string::npos ) << missing.err;
}

TEST( Frei0rCommand, UsageErrorsAndHelp )
{
	EXPECT_EQ( Frei0r( {} ).status, 2 );
	EXPECT_EQ( Frei0r( { PluginPath( "ToneGrade" ), "--size", "8x8" } ).status, 2 );
	EXPECT_EQ( Frei0r( { PluginPath( "ToneGrade" ), "--dir" } ).status, 2 );
	const Outcome help = Frei0r( { "--help" } );
	EXPECT_EQ( help.status, 0 );
	EXPECT_NE( help.out.find( "usage: plughost frei0r PLUGIN.so... [--dir DIR]" ), std::string::npos );
}
