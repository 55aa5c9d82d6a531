// Per-instance random numbers for plug-in code, seeded from the system's
// entropy device.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace ffglqs
{
class Random
{
public:
	static constexpr const char* DEFAULT_DEVICE = "/dev/urandom";

	// Opens the entropy device and seeds the engine from it. Never throws:
	// when the device cannot be used, IsSeeded() answers false.
	Random();
	explicit Random( const std::string& deviceToken );

	// Opens the device named by the token and reseeds the engine from it;
	// false (and not seeded) when that fails.
	bool Open( const std::string& deviceToken );
	bool IsSeeded() const { return seeded; }

	// Uniform over min..max inclusive; reversed bounds are swapped.
	int32_t GetRandomInt( int32_t min, int32_t max );
	// Uniform from min up to max; reversed bounds are swapped and a bound
	// that is not finite gives min.
	float GetRandomFloat( float min, float max );

private:
	std::optional< std::random_device > device;
	std::mt19937 engine;
	bool seeded = false;
};

}// namespace ffglqs
