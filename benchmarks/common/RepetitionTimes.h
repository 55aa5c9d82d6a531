// A console reporter that also keeps each repetition's real time under a key
// the benchmark chooses, so that main can print ratios after the table.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace benchtools
{
class RepetitionTimes : public benchmark::ConsoleReporter
{
public:
	using Key = std::function< std::string( const Run& ) >;
	explicit RepetitionTimes( Key key ) : key( std::move( key ) ) {}

	void ReportRuns( const std::vector< Run >& runs ) override
	{
		ConsoleReporter::ReportRuns( runs );
		for( const Run& run : runs )
			if( run.run_type == Run::RT_Iteration && run.iterations > 0 )
				times[ key( run ) ].push_back( run.GetAdjustedRealTime() );
	}

	std::map< std::string, std::vector< double > > times;

private:
	Key key;
};

inline double Median( std::vector< double > values )
{
	std::sort( values.begin(), values.end() );
	return values.empty() ? 0.0 : values[ values.size() / 2 ];
}
}// namespace benchtools
