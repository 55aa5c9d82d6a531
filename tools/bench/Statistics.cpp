#include "Statistics.h"

#include <algorithm>
#include <cmath>

namespace plughost::cli
{
double Quantile( std::vector< double > values, double q )
{
	if( values.empty() )
		return 0.0;
	std::sort( values.begin(), values.end() );
	const double rank       = std::clamp( q, 0.0, 1.0 ) * static_cast< double >( values.size() - 1 );
	const std::size_t below = static_cast< std::size_t >( std::floor( rank ) );
	const std::size_t above = std::min( below + 1, values.size() - 1 );
	return values[ below ] + ( values[ above ] - values[ below ] ) * ( rank - static_cast< double >( below ) );
}

Spread SpreadOf( const std::vector< double >& values )
{
	return { Quantile( values, 0.5 ), Quantile( values, 0.1 ), Quantile( values, 0.9 ) };
}
}// namespace plughost::cli
