// How a frei0r module file is laid out: the bridge shell (an ordinary shared
// library), then the FFGL plug-in's bytes, then a fixed footer that says where
// those bytes are. The dynamic loader maps only what the shell's program
// headers name, so the appended bytes never disturb loading the shell.
#pragma once

#include <cstdint>
#include <cstring>

namespace ffglfrei0r
{
struct ModuleFooter
{
	char magic[ 16 ];      // kFooterMagic, NUL-padded
	uint64_t payloadOffset;// from the start of the file, little-endian
	uint64_t payloadSize;
};
static_assert( sizeof( ModuleFooter ) == 32, "the footer is 32 bytes on disk" );

inline constexpr char kFooterMagic[ 16 ] = "ffgl-frei0r-v1";

inline ModuleFooter MakeFooter( uint64_t offset, uint64_t size )
{
	ModuleFooter footer{};
	std::memcpy( footer.magic, kFooterMagic, sizeof footer.magic );
	footer.payloadOffset = offset;
	footer.payloadSize   = size;
	return footer;
}

// True when the footer is ours and its payload lies inside a file of
// `fileSize` bytes, before the footer.
inline bool FooterValid( const ModuleFooter& footer, uint64_t fileSize )
{
	if( std::memcmp( footer.magic, kFooterMagic, sizeof footer.magic ) != 0 || fileSize < sizeof footer )
		return false;
	const uint64_t room = fileSize - sizeof footer;
	return footer.payloadSize > 0 && footer.payloadOffset <= room && footer.payloadSize <= room - footer.payloadOffset;
}
}// namespace ffglfrei0r
