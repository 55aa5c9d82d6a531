#include "ModuleName.h"

namespace plughost::cli
{
std::string ModuleName( const std::string& pluginName )
{
	std::string name;
	bool meaningful = false;
	for( char c : pluginName )
	{
		const bool letter = ( c >= 'a' && c <= 'z' ) || ( c >= 'A' && c <= 'Z' );
		const bool digit  = c >= '0' && c <= '9';
		if( letter || digit )
		{
			name += letter && c <= 'Z' ? static_cast< char >( c - 'A' + 'a' ) : c;
			meaningful = true;
		}
		else if( name.empty() || name.back() != '_' )
			name += '_';
	}
	return meaningful ? name : std::string();
}
}// namespace plughost::cli
