#include "GLTestSupport.h"
#include "ffglex/FFGLLogging.h"

using ffglex_test::StdoutCapture;

TEST( Log, ConcatenatesValuesIntoOneLine )
{
	StdoutCapture capture;
	ffglex::Log( "count=", 3, ' ', 2.5, std::string( " end" ) );
	EXPECT_EQ( capture.Finish(), "count=3 2.5 end\n" );
}

TEST( Log, TextIsWrittenVerbatim )
{
	StdoutCapture capture;
	ffglex::Log( "100% %s %d" );
	EXPECT_EQ( capture.Finish(), "100% %s %d\n" );
}

TEST( Log, NullTextDoesNotSilenceTheRest )
{
	const char* missing = nullptr;
	StdoutCapture capture;
	ffglex::Log( "a", missing, "b" );
	ffglex::Log( missing );
	EXPECT_EQ( capture.Finish(), "ab\n\n" );
}
