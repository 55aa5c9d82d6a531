// The validator's checks: what each one is called, which group it belongs
// to, and the function that runs it in a child process.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace plughost::validate
{
class Harness;

enum class Status
{
	Pass,
	Warn,// legal but risky
	Fail,
	Skip,// does not apply to this plug-in, or could not run
};
const char* StatusName( Status status );// "PASS", "WARN", "FAIL", "SKIP"

struct Settings
{
	std::string plugin;
	int level        = 5;
	uint64_t seed    = 0;
	double timeout   = 30.0;// seconds per check
	std::string preload;    // a library to load into each child first
};

// How much work a level asks of the checks that scale.
struct Budget
{
	std::vector< std::pair< uint32_t, uint32_t > > sizes;// lifecycle sizes
	uint32_t lifetimes;   // lifecycle.lifetimes; heap is judged over the last half
	uint32_t growthFrames;// frames per interval in frames.object-growth
	uint32_t fuzzRounds;  // hostile.fuzz
	uint32_t fuzzSteps;   // requests per round
	uint32_t instances;   // instances.many
	bool extraValues;     // more special floats in hostile.floats
};
Budget BudgetFor( int level );

struct CheckSpec
{
	std::string group;
	std::string name;
	std::string summary;// what it checks, one line
	std::function< void( Harness& ) > run;

	std::string Id() const { return group + "." + name; }
};

struct GroupSpec
{
	const char* name;
	const char* summary;
};
const std::vector< GroupSpec >& Groups();

// Every check, in running order (library first: nothing runs without it).
const std::vector< CheckSpec >& AllChecks();

// The groups' contributions to AllChecks, one per file.
void AddLibraryChecks( std::vector< CheckSpec >& checks );
void AddIdentityChecks( std::vector< CheckSpec >& checks );
void AddParameterChecks( std::vector< CheckSpec >& checks );
void AddNullRecordChecks( std::vector< CheckSpec >& checks );
void AddLifecycleChecks( std::vector< CheckSpec >& checks );
void AddFrameChecks( std::vector< CheckSpec >& checks );
void AddHostileValueChecks( std::vector< CheckSpec >& checks );
void AddInstanceChecks( std::vector< CheckSpec >& checks );
void AddHostCallChecks( std::vector< CheckSpec >& checks );
void AddHostGLStateChecks( std::vector< CheckSpec >& checks );
void AddInputChecks( std::vector< CheckSpec >& checks );
}// namespace plughost::validate
