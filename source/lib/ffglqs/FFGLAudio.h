// Spectrum analysis for quick-start plug-ins: a one-pole smoother and an
// analyser that reduces a spectrum to smoothed volume, bass, mid and high.
#pragma once

#include <cstdint>
#include <vector>

namespace ffglqs
{
class SmoothValue
{
public:
	SmoothValue() = default;

	void Update( float sample );
	float GetValue() const;
	// 0 follows the input exactly, 1 never moves.
	void SetSmoothness( float newSmoothness );

private:
	float smoothness = 0.8f;
	float value = 0.0f;
};

class Audio
{
public:
	Audio() = default;

	// Takes the latest spectrum (one magnitude per bin) and feeds the four
	// smoothers. Bins that do not hold a finite energy, and bands without
	// any bin, contribute 0, so a bad spectrum cannot stick in the levels.
	void Update( std::vector< float > spectrum );

	float GetVolume() const;
	float GetBass() const;
	float GetMed() const;
	float GetHigh() const;
	// Reserved for a level between two bins; always 0 for now.
	float GetVolumeFromTo( int32_t from, int32_t to ) const;

	// Level in decibels relative to 1 mapped from -96..0 dB onto 0..1.
	static float ToDB( float x );

	void SetSmoothness( float smoothness );
	// Frequency bookkeeping; the bin width stays 0 until bins have arrived.
	void SetSampleRate( int32_t rate );
	void SetGain( float dB );

	float GetGain() const { return gain; }
	float GetMaxFreq() const { return maxFreq; }
	float GetFreqStep() const { return freqStep; }
	int32_t GetSampleRate() const { return sampleRate; }
	const std::vector< float >& GetFFT() const { return fft; }

private:
	std::vector< float > fft;
	SmoothValue volume;
	SmoothValue bass;
	SmoothValue med;
	SmoothValue high;
	float maxFreq = 0.0f;
	float freqStep = 0.0f;
	int32_t sampleRate = 0;
	// Linear factor, not decibels: levels stay 0 until SetGain is called.
	float gain = 0.0f;
};

}// namespace ffglqs
