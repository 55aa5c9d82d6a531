// Order statistics of a set of timings.
#pragma once

#include <vector>

namespace plughost::cli
{
struct Spread
{
	double median = 0.0, p10 = 0.0, p90 = 0.0;
};

// The q-quantile (0..1) by linear interpolation between the nearest ranks;
// 0 for no values.
double Quantile( std::vector< double > values, double q );
Spread SpreadOf( const std::vector< double >& values );
}// namespace plughost::cli
