// Values that cross the entry point: builders for its arguments and readers
// of its answers.
// Inputs are zero-filled first so the unused upper bytes never carry garbage.
#pragma once

#include <ffgl/FFGL.h>

#include <cstdint>
#include <string>

namespace plughost
{
inline FFMixed MixedU( uint32_t value )
{
	FFMixed mixed{};
	mixed.PointerValue = nullptr;
	mixed.UIntValue    = value;
	return mixed;
}

inline FFMixed MixedF( float value )
{
	FFMixed mixed{};
	mixed.PointerValue = nullptr;
	mixed.FloatValue   = value;
	return mixed;
}

inline FFMixed MixedP( const void* pointer )
{
	FFMixed mixed{};
	mixed.PointerValue = const_cast< void* >( pointer );
	return mixed;
}

// A pointer answer fails as null or as the failure code widened to 64 bits.
inline bool IsFailedPointer( const void* pointer )
{
	return pointer == nullptr || pointer == FFWidenedFail();
}

// Copies a plug-in's NUL-terminated text, bounded so a missing terminator
// cannot run the copy off into unrelated memory indefinitely.
std::string CopyText( const char* text, std::size_t limit = 4096 );

// Copies a fixed-size character field that may lack a terminator.
std::string CopyField( const char* field, std::size_t size );
}// namespace plughost
