#include "LogCapture.h"

#include <array>
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
}// namespace plughost
