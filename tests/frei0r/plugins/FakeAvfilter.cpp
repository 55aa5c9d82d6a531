// Stands in for libavfilter in a test: a library that defines
// avfilter_version and calls f0r_construct from its own code, as ffmpeg's
// frei0r filter does.
#include <frei0r.h>

extern "C" __attribute__( ( visibility( "default" ) ) ) unsigned avfilter_version()
{
	return 0;
}

using Construct = f0r_instance_t ( * )( unsigned, unsigned );

// Not a tail call: the bridge must see this library as its caller.
extern "C" __attribute__( ( visibility( "default" ), noinline, optimize( "no-optimize-sibling-calls" ) ) ) f0r_instance_t
FakeAvfilterConstruct( Construct construct, unsigned width, unsigned height )
{
	f0r_instance_t instance = construct( width, height );
	asm volatile( "" ::: "memory" );
	return instance;
}
