#include "GLThread.h"

#include <EGL/egl.h>

#include <chrono>
#include <stdexcept>

#include <unistd.h>

namespace ffglfrei0r
{
namespace
{
using Clock = std::chrono::steady_clock;

// How long the host spins for a job in its last step before sleeping.
constexpr auto kSpinForEnd = std::chrono::milliseconds( 2 );

inline void Relax()
{
#if defined( __x86_64__ ) || defined( __i386__ )
	__builtin_ia32_pause();
#elif defined( __aarch64__ )
	asm volatile( "yield" );
#endif
}

// Spins until `done` holds or `limit` has passed; true when it holds. It
// yields the core now and then: spinning outright slowed an ffmpeg encode of
// the clock by 4 %, taking the core from the encoder's threads.
template< typename Done > bool SpinUntil( Done done, Clock::duration limit )
{
	const auto end = Clock::now() + limit;
	for( unsigned turn = 0;; ++turn )
	{
		if( done() )
			return true;
		Relax();
		if( turn % 64 == 63 )
		{
			if( Clock::now() >= end )
				return false;
			std::this_thread::yield();
		}
	}
}
}// namespace

GLThread::GLThread( std::chrono::microseconds spin ) : spinForNext( spin ), owner( getpid() ), thread( [ this ] { Serve(); } )
{
}

GLThread::~GLThread()
{
	Stop( [] {} );
	if( !InThisProcess() )
		(void)waiting.release();
}

void GLThread::Publish( State next )
{
	state.store( next, std::memory_order_release );
	std::lock_guard< std::mutex > lock( waiting->mutex );
	waiting->changed.notify_all();
}

bool GLThread::InThisProcess() const
{
	return getpid() == owner;
}

void GLThread::Stop( const std::function< void() >& last ) noexcept
{
	if( !thread.joinable() )
		return;
	if( !InThisProcess() )
	{
		thread.detach();
		return;
	}
	job      = &last;
	stopping = true;
	Publish( Posted );
	thread.join();
}

void GLThread::Run( const std::function< void() >& work )
{
	Post( work );
	Wait();
}

void GLThread::Post( const std::function< void() >& work )
{
	if( !InThisProcess() )
		throw std::runtime_error( "its GL thread stayed in the process that made it (the host forked since)" );
	job     = &work;
	failure = nullptr;
	Publish( Posted );
}

void GLThread::Wait()
{
	// Most of a job is the renderer's, on every core: sleep through it.
	{
		std::unique_lock< std::mutex > lock( waiting->mutex );
		waiting->changed.wait( lock, [ this ] { return state.load( std::memory_order_acquire ) >= Closing; } );
	}
	const auto done = [ this ] { return state.load( std::memory_order_acquire ) == Done; };
	if( !SpinUntil( done, kSpinForEnd ) )
	{
		std::unique_lock< std::mutex > lock( waiting->mutex );
		waiting->changed.wait( lock, done );
	}
	state.store( Idle, std::memory_order_relaxed );
	job = nullptr;
	if( failure )
	{
		std::exception_ptr thrown = failure;
		failure                   = nullptr;
		std::rethrow_exception( thrown );
	}
}

void GLThread::Finishing()
{
	Publish( Closing );
}

void GLThread::Serve()
{
	const auto posted = [ this ] { return state.load( std::memory_order_acquire ) == Posted; };
	for( ;; )
	{
		if( spinForNext.count() == 0 || !SpinUntil( posted, spinForNext ) )
		{
			std::unique_lock< std::mutex > lock( waiting->mutex );
			waiting->changed.wait( lock, posted );
		}
		state.store( Running, std::memory_order_relaxed );
		const bool last = stopping;
		try
		{
			( *job )();
		}
		catch( ... )
		{
			failure = std::current_exception();
		}
		Publish( Done );
		if( last )
			break;
	}
	// Mesa keeps per-thread state until it is told the thread is done with EGL.
	eglReleaseThread();
}
}// namespace ffglfrei0r
