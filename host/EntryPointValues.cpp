#include "EntryPointValues.h"

#include <cstring>

namespace plughost
{
std::string CopyText( const char* text, std::size_t limit )
{
	if( IsFailedPointer( text ) )
		return {};
	return std::string( text, strnlen( text, limit ) );
}

std::string CopyField( const char* field, std::size_t size )
{
	return std::string( field, strnlen( field, size ) );
}
}// namespace plughost
