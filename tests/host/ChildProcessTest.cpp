// Children that exit, crash, hang, talk and print; and the census of live
// GL objects and the heap figure built on the allocator's statistics.
#include "TestSupport.h"

#include <ChildProcess.h>
#include <GLCensus.h>
#include <HeapUsage.h>

#include <GL/glcorearb.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace plughost;

namespace
{
TEST( ChildProcess, HowItEndedWhatItSaidAndWhatItPrinted )
{
	const struct
	{
		std::function< int( ChildChannel& ) > work;
		ChildExit::Kind kind;
		int code;// exit status or signal
		std::string described;
	} cases[] = {
		{ []( ChildChannel& ) { return 3; }, ChildExit::Kind::Exited, 3, "exited with status 3" },
		{ []( ChildChannel& ) -> int { throw std::runtime_error( "x" ); }, ChildExit::Kind::Exited, 70, "exited with status 70" },
		// SIGILL: sanitizers turn SIGSEGV into a report and an exit status.
		{ []( ChildChannel& ) { return raise( SIGILL ); }, ChildExit::Kind::Signalled, SIGILL, "killed by SIGILL (Illegal instruction)" },
		{ []( ChildChannel& ) -> int { std::abort(); }, ChildExit::Kind::Signalled, SIGABRT, "killed by SIGABRT" },
		{ []( ChildChannel& ) { return sleep( 30 ); }, ChildExit::Kind::TimedOut, 0, "timed out after 0.5 s and was killed" },
	};
	for( const auto& c : cases )
	{
		ChildOptions options;
		options.timeoutSeconds = 0.5;
		const ChildResult result = RunInChild( c.work, options );
		EXPECT_EQ( result.exit.kind, c.kind ) << c.described;
		EXPECT_EQ( c.kind == ChildExit::Kind::Signalled ? result.exit.signal : result.exit.status, c.code ) << c.described;
		EXPECT_EQ( result.exit.Describe().substr( 0, c.described.size() ), c.described );
	}

	const ChildResult talk = RunInChild( []( ChildChannel& channel ) {
		std::printf( "to stdout\n" );
		std::fprintf( stderr, "to stderr\n" );
		channel.Send( "first" );
		channel.Send( std::string( 1 << 20, 'x' ) );// framed, so it arrives whole
		channel.Send( "" );
		return 0;
	} );
	EXPECT_TRUE( talk.exit.Clean() );
	ASSERT_EQ( talk.messages.size(), 3u );
	EXPECT_EQ( talk.messages[ 0 ], "first" );
	EXPECT_EQ( talk.messages[ 1 ].size(), 1u << 20 );
	EXPECT_EQ( talk.out, "to stdout\n" );
	EXPECT_EQ( talk.err, "to stderr\n" );
}

TEST( ChildProcess, KeepsTheLastOutputAndTalksBothWays )
{
	ChildOptions options;
	options.outputLimit = 100;
	const ChildResult chatty = RunInChild( []( ChildChannel& ) {
		for( int i = 0; i < 10000; ++i )
			std::printf( "line %d\n", i );
		std::printf( "the end\n" );
		return 0;
	}, options );
	EXPECT_EQ( chatty.out.size(), 100u );
	EXPECT_EQ( chatty.out.substr( 92 ), "the end\n" );

	// Line-buffered stdout: what was printed before a crash is kept.
	const ChildResult crash = RunInChild( []( ChildChannel& ) { std::printf( "last words\n" ); return raise( SIGILL ); } );
	EXPECT_EQ( crash.out, "last words\n" );

	ChildProcess echo = ChildProcess::Fork( []( ChildChannel& channel ) {
		while( auto message = channel.Receive( 5.0 ) )
			if( !channel.Send( "echo " + *message ) )
				return 1;
		return 0;
	} );
	for( const char* word : { "one", "two" } )
	{
		ASSERT_TRUE( echo.Send( word ) );
		EXPECT_EQ( echo.Receive( 5.0 ).value_or( "nothing" ), std::string( "echo " ) + word );
	}
	EXPECT_FALSE( echo.Receive( 0.05 ).has_value() );// nothing more, and it is still there
	EXPECT_TRUE( echo.Running() );
	echo.Kill();
	EXPECT_EQ( echo.Wait().signal, SIGKILL );
	EXPECT_FALSE( echo.Send( "too late" ) );
	EXPECT_FALSE( echo.Receive( 0.05 ).has_value() );
}

TEST( ChildProcess, ExecPassesTheChannelAndReportsWhatCannotStart )
{
	ChildProcess shell = ChildProcess::Exec(
		{ "/bin/sh", "-c", "echo \"$GREETING fd $PLUGHOST_CHANNEL_FD\"; exit 4" }, { "GREETING=hello" } );
	const ChildExit& exit = shell.Wait();
	EXPECT_EQ( exit.kind, ChildExit::Kind::Exited );
	EXPECT_EQ( exit.status, 4 );
	EXPECT_EQ( shell.Stdout().substr( 0, 9 ), "hello fd " );
	EXPECT_GE( std::atoi( shell.Stdout().c_str() + 9 ), 3 );

	// Any program can talk back: a length of four little-endian bytes, then the text.
	ChildProcess talker = ChildProcess::Exec(
		{ "/bin/sh", "-c", "printf '\\005\\000\\000\\000hello\\000\\000\\000\\000' >&$PLUGHOST_CHANNEL_FD" }, {} );
	EXPECT_TRUE( talker.Wait().Clean() ) << talker.Stderr();
	EXPECT_EQ( talker.TakeMessages(), ( std::vector< std::string >{ "hello", "" } ) );

	ChildProcess missing = ChildProcess::Exec( { "/nonexistent/program" }, {} );
	EXPECT_EQ( missing.Wait().kind, ChildExit::Kind::NotStarted );
	EXPECT_EQ( missing.Wait().Describe(), "could not start: cannot run /nonexistent/program: No such file or directory" );
}

TEST( GLCensus, CountsWhatIsAliveNotTheLargestName )
{
	testsupport::Context();
	const GLCensus before = GLCensus::Take();
	GLuint texture = 0, buffer = 0, framebuffer = 0, renderbuffer = 0, array = 0, sampler = 0;
	glGenTextures( 1, &texture );
	glBindTexture( GL_TEXTURE_2D, texture );// a name becomes an object when first bound
	glGenBuffers( 1, &buffer );
	glBindBuffer( GL_ARRAY_BUFFER, buffer );
	glGenFramebuffers( 1, &framebuffer );
	glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
	glGenRenderbuffers( 1, &renderbuffer );
	glBindRenderbuffer( GL_RENDERBUFFER, renderbuffer );
	glGenVertexArrays( 1, &array );
	glBindVertexArray( array );
	glGenSamplers( 1, &sampler );
	const GLuint program = glCreateProgram(), shader = glCreateShader( GL_FRAGMENT_SHADER );

	const GLCensus made = GLCensus::Take().Since( before );
	EXPECT_EQ( made.Total(), 8u );
	EXPECT_EQ( made.Names( GLObjectKind::Texture ), std::vector< uint32_t >{ texture } );
	EXPECT_EQ( made.Names( GLObjectKind::Program ), std::vector< uint32_t >{ program } );
	EXPECT_EQ( made.Names( GLObjectKind::Shader ), std::vector< uint32_t >{ shader } );
	EXPECT_EQ( made.Count( GLObjectKind::Sampler ), 1u );
	EXPECT_EQ( made.Describe( 1 ).substr( 0, 14 + std::to_string( texture ).size() ),
			   "1 texture (" + std::to_string( texture ) + "), " );
	// Taking a census leaves bindings and the error state alone.
	GLint bound = 0;
	glGetIntegerv( GL_TEXTURE_BINDING_2D, &bound );
	EXPECT_EQ( GLuint( bound ), texture );
	EXPECT_EQ( glGetError(), GLenum( GL_NO_ERROR ) );

	glBindTexture( GL_TEXTURE_2D, 0 );
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	glBindVertexArray( 0 );
	glDeleteTextures( 1, &texture );
	glDeleteBuffers( 1, &buffer );
	glDeleteFramebuffers( 1, &framebuffer );
	glDeleteRenderbuffers( 1, &renderbuffer );
	glDeleteVertexArrays( 1, &array );
	glDeleteSamplers( 1, &sampler );
	glDeleteProgram( program );
	glDeleteShader( shader );
	EXPECT_TRUE( GLCensus::Take().Since( before ).Empty() ) << GLCensus::Take().Since( before ).Describe();
	EXPECT_EQ( GLCensus().Describe(), "none" );
}

TEST( HeapInUse, FollowsAllocations )
{
	const std::size_t before = HeapInUse();
	auto* block = static_cast< volatile char* >( std::malloc( 16 << 20 ) );
	block[ 0 ] = 1;
	EXPECT_GE( HeapInUse(), before + ( 16 << 20 ) );
	std::free( const_cast< char* >( block ) );
	EXPECT_LT( HeapInUse(), before + ( 1 << 20 ) );
}
}// namespace

namespace
{
TEST( ChildProcess, DeadlinesGrandchildrenAndTheEnvironment )
{
	// A grandchild that keeps the output pipes open must not keep us waiting.
	ChildProcess parent = ChildProcess::Fork( []( ChildChannel& ) {
		if( fork() == 0 )
		{
			sleep( 5 );
			_exit( 0 );
		}
		std::printf( "left a grandchild\n" );
		return 0;
	} );
	const ChildExit& exit = parent.Wait();
	EXPECT_TRUE( exit.Clean() );
	EXPECT_LT( exit.seconds, 2.0 );
	EXPECT_EQ( parent.Stdout(), "left a grandchild\n" );

	// Receive waits no longer than the child's deadline, then reports the timeout.
	ChildOptions options;
	options.timeoutSeconds = 0.3;
	ChildProcess silent = ChildProcess::Fork( []( ChildChannel& ) { return sleep( 30 ); }, options );
	EXPECT_FALSE( silent.Receive().has_value() );
	EXPECT_FALSE( silent.Running() );
	EXPECT_EQ( silent.Wait().kind, ChildExit::Kind::TimedOut );

	// Messages sent just before a crash still arrive.
	ChildProcess crash = ChildProcess::Fork( []( ChildChannel& channel ) {
		channel.Send( "about to crash" );
		return raise( SIGILL );
	} );
	EXPECT_EQ( crash.Wait().signal, SIGILL );
	EXPECT_EQ( crash.TakeMessages(), std::vector< std::string >{ "about to crash" } );
	EXPECT_TRUE( crash.TakeMessages().empty() );

	// An added variable replaces ours; the channel variable is always the child's own.
	setenv( "PLUGHOST_TEST_VALUE", "parent", 1 );
	setenv( ChildChannel::kEnvironmentName, "99", 1 );
	ChildProcess shell = ChildProcess::Exec( { "/bin/sh", "-c", "echo $PLUGHOST_TEST_VALUE; env | grep -c PLUGHOST_CHANNEL_FD=" },
											 { "PLUGHOST_TEST_VALUE=child" } );
	shell.Wait();
	EXPECT_EQ( shell.Stdout(), "child\n1\n" );
	unsetenv( ChildChannel::kEnvironmentName );
	EXPECT_FALSE( ChildChannel::FromEnvironment().has_value() );
	for( const char* bad : { "", "x", "2", "70000", "12abc" } )
	{
		setenv( ChildChannel::kEnvironmentName, bad, 1 );
		EXPECT_FALSE( ChildChannel::FromEnvironment().has_value() ) << bad;
	}
	unsetenv( ChildChannel::kEnvironmentName );
	unsetenv( "PLUGHOST_TEST_VALUE" );

	// Moving keeps one owner; destroying a running child kills and reaps it.
	pid_t pid = 0;
	{
		ChildProcess first  = ChildProcess::Fork( []( ChildChannel& ) { return sleep( 30 ); } );
		ChildProcess second = std::move( first );
		pid                 = second.Pid();
		EXPECT_TRUE( second.Running() );
	}
	EXPECT_EQ( kill( pid, 0 ), -1 );// gone, not a zombie
}

TEST( GLCensus, TellsWhatWorkLeftAndWhatItDeleted )
{
	testsupport::Context();
	std::vector< GLuint > textures( 9 );
	glGenTextures( 9, textures.data() );
	for( GLuint texture : textures )
		glBindTexture( GL_TEXTURE_2D, texture );
	glBindTexture( GL_TEXTURE_2D, 0 );
	GLuint query = 0;
	glGenQueries( 1, &query );
	glBeginQuery( GL_SAMPLES_PASSED, query );
	glEndQuery( GL_SAMPLES_PASSED );
	const GLCensus before = GLCensus::Take();
	glDeleteTextures( 1, &textures[ 4 ] );
	const GLCensus after = GLCensus::Take();
	EXPECT_TRUE( after.Since( before ).Empty() );
	EXPECT_EQ( before.Since( after ).Names( GLObjectKind::Texture ), std::vector< uint32_t >{ textures[ 4 ] } );
	EXPECT_EQ( before.Count( GLObjectKind::Query ), 1u );

	EXPECT_EQ( before.Since( after ).Describe(), "1 texture (" + std::to_string( textures[ 4 ] ) + ")" );
	glDeleteTextures( 9, textures.data() );
	glDeleteQueries( 1, &query );
	const std::string many = before.Since( GLCensus::Take() ).Describe( 3 );
	const std::string end  = ", ...), 1 query (" + std::to_string( query ) + ")";
	EXPECT_EQ( many.substr( 0, 12 ), "9 textures (" ) << many;
	EXPECT_TRUE( many.size() > end.size() && many.compare( many.size() - end.size(), end.size(), end ) == 0 ) << many;
	EXPECT_EQ( GLObjectKindName( GLObjectKind::VertexArray, 2 ), "vertex arrays" );
}
}// namespace
