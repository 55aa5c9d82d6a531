#include "LogCapture.h"

#include <array>
#include <map>
#include <utility>

namespace plughost
{
namespace
{
std::mutex& TableMutex()
{
	static std::mutex mutex;
	return mutex;
}

std::array< LogStore*, LogSlot::kSlotCount >& Table()
{
	static std::array< LogStore*, LogSlot::kSlotCount > table{};
	return table;
}

// Holding the table lock while appending keeps a store alive until the
// message is stored, even if its library is being unloaded on another thread.
void Dispatch( int slot, const char* message )
{
	std::lock_guard< std::mutex > lock( TableMutex() );
	if( LogStore* store = Table()[ slot ] )
		store->Append( message );
}

template< int N >
void Trampoline( const char* message )
{
	Dispatch( N, message );
}

template< int... N >
constexpr std::array< FFGLLogCallback, sizeof...( N ) > MakeTrampolines( std::integer_sequence< int, N... > )
{
	return { &Trampoline< N >... };
}

const auto kTrampolines = MakeTrampolines( std::make_integer_sequence< int, LogSlot::kSlotCount >() );
}// namespace

void LogStore::Append( const char* message )
{
	if( message == nullptr )
		return;
	std::lock_guard< std::mutex > lock( mutex );
	messages.emplace_back( message );
}

std::vector< std::string > LogStore::Messages() const
{
	std::lock_guard< std::mutex > lock( mutex );
	return messages;
}

void LogStore::Clear()
{
	std::lock_guard< std::mutex > lock( mutex );
	messages.clear();
}

LogSlot::LogSlot( LogStore& store )
{
	std::lock_guard< std::mutex > lock( TableMutex() );
	auto& table = Table();
	for( int i = 0; i < kSlotCount; ++i )
	{
		if( table[ i ] == nullptr )
		{
			table[ i ] = &store;
			slot       = i;
			return;
		}
	}
}

LogSlot::~LogSlot()
{
	if( slot < 0 )
		return;
	std::lock_guard< std::mutex > lock( TableMutex() );
	Table()[ slot ] = nullptr;
}

FFGLLogCallback LogSlot::Callback() const
{
	return slot < 0 ? nullptr : kTrampolines[ slot ];
}

namespace
{
std::mutex& SharedMutex()
{
	static std::mutex mutex;
	return mutex;
}

std::map< void*, std::weak_ptr< SharedLog > >& SharedLogs()
{
	static std::map< void*, std::weak_ptr< SharedLog > > logs;
	return logs;
}
}// namespace

SharedLog::SharedLog( void* image, FF_SetLogCallback_FuncPtr installer ) : handle( image ), install( installer )
{
	if( slot.Callback() != nullptr )
		install( slot.Callback() );
}

std::shared_ptr< SharedLog > SharedLog::For( void* handle, FF_SetLogCallback_FuncPtr install )
{
	std::lock_guard< std::mutex > lock( SharedMutex() );
	auto& entry = SharedLogs()[ handle ];
	if( auto existing = entry.lock() )
		return existing;
	std::shared_ptr< SharedLog > created( new SharedLog( handle, install ) );
	entry = created;
	return created;
}

SharedLog::~SharedLog()
{
	std::lock_guard< std::mutex > lock( SharedMutex() );
	auto& logs = SharedLogs();
	auto found = logs.find( handle );
	// A newer log for the same image may already have taken over.
	if( found != logs.end() && !found->second.expired() )
		return;
	if( found != logs.end() )
		logs.erase( found );
	if( slot.Callback() != nullptr )
		install( nullptr );
}
}// namespace plughost
