#include "FFGLAudio.h"
#include <cmath>
#include <limits>
#include <utility>
#include "../ffglex/FFGLUtilities.h"

namespace ffglqs
{
void SmoothValue::Update( float sample )
{
	value = smoothness * value;
	value = ( 1.0f - smoothness ) * sample + value;
}
float SmoothValue::GetValue() const
{
	return value;
}
void SmoothValue::SetSmoothness( float newSmoothness )
{
	smoothness = newSmoothness;
}

namespace
{
constexpr float largest_ = std::numeric_limits< float >::max();

// A bin's energy, saturated at the largest float: a huge bin or gain must not
// become an infinity that the smoother would keep forever. A non-finite bin
// is noise and counts as silent, as does a silent bin under an infinite gain.
float Energy( float bin, float gain )
{
	if( !std::isfinite( bin ) )
		return 0.0f;
	const double energy = static_cast< double >( bin ) * bin * gain;
	if( std::isnan( energy ) )
		return 0.0f;
	return energy > largest_ ? largest_ : static_cast< float >( energy );
}

// Adds without passing the largest float, for the same reason.
void Accumulate( float& sum, float energy )
{
	const float total = sum + energy;
	sum = total > largest_ ? largest_ : total;
}

// Root mean square of a band; an empty band is silent rather than 0 / 0.
float BandLevel( float sum, int32_t count )
{
	if( count <= 0 )
		return 0.0f;
	return std::sqrt( sum / static_cast< float >( count ) );
}
}// namespace

void Audio::Update( std::vector< float > spectrum )
{
	fft = std::move( spectrum );
	const int32_t n = static_cast< int32_t >( fft.size() );
	const int32_t third = n / 3;
	const int32_t twoThirds = 2 * third;

	float total = 0.0f, lowSum = 0.0f, midSum = 0.0f, highSum = 0.0f;
	int32_t lowCount = 0, midCount = 0, highCount = 0;
	for( int32_t i = 0; i < n; ++i )
	{
		const float energy = Energy( fft[ i ], gain );
		Accumulate( total, energy );
		if( i < third )
		{
			Accumulate( lowSum, energy );
			++lowCount;
		}
		else if( third < i && i < twoThirds )
		{
			Accumulate( midSum, energy );
			++midCount;
		}
		else if( twoThirds < i )
		{
			Accumulate( highSum, energy );
			++highCount;
		}
	}

	volume.Update( BandLevel( total, n ) );
	bass.Update( BandLevel( lowSum, lowCount ) );
	med.Update( BandLevel( midSum, midCount ) );
	high.Update( BandLevel( highSum, highCount ) );
}

float Audio::GetVolume() const
{
	return volume.GetValue();
}
float Audio::GetBass() const
{
	return bass.GetValue();
}
float Audio::GetMed() const
{
	return med.GetValue();
}
float Audio::GetHigh() const
{
	return high.GetValue();
}
float Audio::GetVolumeFromTo( int32_t, int32_t ) const
{
	return 0.0f;
}

float Audio::ToDB( float x )
{
	return ffglex::map( 20.0f * std::log10( x ), -96.0f, 0.0f, 0.0f, 1.0f );
}

void Audio::SetSmoothness( float smoothness )
{
	volume.SetSmoothness( smoothness );
	bass.SetSmoothness( smoothness );
	med.SetSmoothness( smoothness );
	high.SetSmoothness( smoothness );
}

void Audio::SetSampleRate( int32_t rate )
{
	sampleRate = rate;
	maxFreq = static_cast< float >( rate ) * 0.5f;
	freqStep = fft.empty() ? 0.0f : maxFreq / static_cast< float >( fft.size() );
}

void Audio::SetGain( float dB )
{
	gain = std::pow( 10.0f, dB / 20.0f );
}

}// namespace ffglqs
