#include "FFGLRandom.h"
#include <cmath>
#include <exception>
#include <utility>

namespace ffglqs
{
Random::Random() : Random( DEFAULT_DEVICE )
{
}

Random::Random( const std::string& deviceToken )
{
	Open( deviceToken );
}

bool Random::Open( const std::string& deviceToken )
{
	seeded = false;
	device.reset();
	// The standard device reports an unusable token or file by throwing;
	// that must not escape into the host.
	try
	{
		device.emplace( deviceToken );
		engine.seed( ( *device )() );
		seeded = true;
	}
	catch( const std::exception& )
	{
		device.reset();
	}
	return seeded;
}

int32_t Random::GetRandomInt( int32_t min, int32_t max )
{
	if( min > max )
		std::swap( min, max );
	std::uniform_int_distribution< int32_t > distribution( min, max );
	return distribution( engine );
}

float Random::GetRandomFloat( float min, float max )
{
	if( !std::isfinite( min ) || !std::isfinite( max ) )
		return min;
	if( min > max )
		std::swap( min, max );
	std::uniform_real_distribution< double > distribution( min, max );
	return static_cast< float >( distribution( engine ) );
}

}// namespace ffglqs
