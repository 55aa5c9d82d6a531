#include "FramePacer.h"

#include <thread>

namespace plughost
{
FramePacer::FramePacer( double framesPerSecond ) : fps( framesPerSecond > 0.0 ? framesPerSecond : 1.0 ) {}

void FramePacer::WaitFor( uint32_t k )
{
	if( !started )
	{
		start   = Clock::now();
		started = true;
	}
	const auto due = start + std::chrono::duration_cast< Clock::duration >( std::chrono::duration< double >( k / fps ) );
	const auto now = Clock::now();
	if( now < due )
	{
		std::this_thread::sleep_until( due );
		return;
	}
	const double behind = std::chrono::duration< double >( now - due ).count();
	if( behind > 0.5 / fps )
	{
		++late;
		worst = behind > worst ? behind : worst;
	}
}
}// namespace plughost
