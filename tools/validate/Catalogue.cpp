// The list of checks and how a level scales them.
#include "Check.h"

#include <algorithm>

namespace plughost::validate
{
const char* StatusName( Status status )
{
	switch( status )
	{
	case Status::Pass: return "PASS";
	case Status::Warn: return "WARN";
	case Status::Fail: return "FAIL";
	case Status::Skip: return "SKIP";
	}
	return "?";
}

Budget BudgetFor( int level )
{
	level = std::clamp( level, 1, 10 );
	Budget budget;
	budget.sizes = { { 1, 1 }, { 16, 9 }, { 1920, 1080 }, { 4097, 7 } };
	if( level >= 4 )
		budget.sizes.insert( budget.sizes.end(), { { 2, 2 }, { 3, 1000 }, { 640, 360 } } );
	if( level >= 7 )
		budget.sizes.insert( budget.sizes.end(), { { 3840, 2160 }, { 8192, 3 } } );
	const auto scaled = static_cast< uint32_t >( level );
	budget.lifetimes    = 40 * scaled;
	budget.growthFrames = 5 + 3 * scaled;
	budget.fuzzRounds   = 8 * ( scaled - 1 );
	budget.fuzzSteps    = 24;
	budget.instances    = 2 + scaled;
	budget.extraValues  = level >= 3;
	return budget;
}

const std::vector< GroupSpec >& Groups()
{
	static const std::vector< GroupSpec > groups = {
		{ "library", "loading, entry points, exported symbols, separate copies, unloading" },
		{ "identity", "the info and extended info records, capabilities, thumbnail" },
		{ "parameters", "names, types, defaults, ranges, elements, display texts, unregistered indices" },
		{ "null", "null records, null instances and unknown codes answer failure without crashing" },
		{ "lifecycle", "initialise, instantiate at many sizes, GL objects and heap over many lifetimes" },
		{ "frames", "drawing, the resting GL state, the host's framebuffer, GL errors, leaks per frame, missing and untouched inputs" },
		{ "hostile", "special floats, random values and orders, hostile texts" },
		{ "instances", "independent instances, rendering after another instance is destroyed" },
		{ "host", "time, beat, host info, sample rate, resize, events, input status, capabilities, GL state between frames" },
	};
	return groups;
}

const std::vector< CheckSpec >& AllChecks()
{
	static const std::vector< CheckSpec > checks = [] {
		std::vector< CheckSpec > all;
		AddLibraryChecks( all );
		AddIdentityChecks( all );
		AddParameterChecks( all );
		AddNullRecordChecks( all );
		AddLifecycleChecks( all );
		AddFrameChecks( all );
		AddInputChecks( all );
		AddHostileValueChecks( all );
		AddInstanceChecks( all );
		AddHostCallChecks( all );
		AddHostGLStateChecks( all );
		return all;
	}();
	return checks;
}
}// namespace plughost::validate
