#include "EventBus.h"

namespace plughost::cli::serve
{
void EventBus::Publish( const std::string& type, const std::string& data )
{
	{
		std::lock_guard< std::mutex > lock( mutex );
		events.push_back( { ++last, type, data } );
		while( events.size() > kept )
			events.pop_front();
	}
	changed.notify_all();
}

uint64_t EventBus::Latest() const
{
	std::lock_guard< std::mutex > lock( mutex );
	return last;
}

std::vector< Event > EventBus::Next( uint64_t after, std::chrono::milliseconds timeout )
{
	std::unique_lock< std::mutex > lock( mutex );
	changed.wait_for( lock, timeout, [ & ] { return closed || last > after; } );
	std::vector< Event > found;
	if( closed )
		return found;
	for( const Event& event : events )
		if( event.id > after )
			found.push_back( event );
	return found;
}

void EventBus::Close()
{
	{
		std::lock_guard< std::mutex > lock( mutex );
		closed = true;
	}
	changed.notify_all();
}

bool EventBus::Closed() const
{
	std::lock_guard< std::mutex > lock( mutex );
	return closed;
}

std::string EventBus::Format( const Event& event )
{
	// Our data is compact JSON: one line, so one "data:" field.
	return "id: " + std::to_string( event.id ) + "\nevent: " + event.type + "\ndata: " + event.data + "\n\n";
}
}// namespace plughost::cli::serve
