#include "ElfSymbols.h"

#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace plughost::validate
{
namespace
{
template< typename T >
T At( const std::string& data, std::size_t offset )
{
	if( offset > data.size() || data.size() - offset < sizeof( T ) )
		throw std::runtime_error( "truncated ELF file" );
	T value;
	std::memcpy( &value, data.data() + offset, sizeof value );
	return value;
}

bool IsLinkerSymbol( const std::string& name )
{
	static const char* const names[] = { "_init", "_fini", "_edata", "_end", "__bss_start", "_DYNAMIC", "_GLOBAL_OFFSET_TABLE_" };
	return std::find( std::begin( names ), std::end( names ), name ) != std::end( names );
}
}// namespace

std::vector< std::string > ExportedSymbols( const std::string& path )
{
	std::ifstream file( path, std::ios::binary );
	const std::string data( ( std::istreambuf_iterator< char >( file ) ), std::istreambuf_iterator< char >() );
	if( data.size() < sizeof( Elf64_Ehdr ) || std::memcmp( data.data(), ELFMAG, SELFMAG ) != 0 )
		throw std::runtime_error( "not an ELF file" );
	const auto header = At< Elf64_Ehdr >( data, 0 );
	if( header.e_ident[ EI_CLASS ] != ELFCLASS64 || header.e_shentsize != sizeof( Elf64_Shdr ) )
		throw std::runtime_error( "not a 64-bit ELF file" );

	std::vector< std::string > exported;
	for( std::size_t s = 0; s < header.e_shnum; ++s )
	{
		const auto section = At< Elf64_Shdr >( data, header.e_shoff + s * sizeof( Elf64_Shdr ) );
		if( section.sh_type != SHT_DYNSYM || section.sh_link >= header.e_shnum )
			continue;
		const auto strings = At< Elf64_Shdr >( data, header.e_shoff + section.sh_link * sizeof( Elf64_Shdr ) );
		for( std::size_t i = 1; i < section.sh_size / sizeof( Elf64_Sym ); ++i )
		{
			const auto symbol = At< Elf64_Sym >( data, section.sh_offset + i * sizeof( Elf64_Sym ) );
			const unsigned binding = ELF64_ST_BIND( symbol.st_info ), type = ELF64_ST_TYPE( symbol.st_info );
			const unsigned visibility = ELF64_ST_VISIBILITY( symbol.st_other );
			if( symbol.st_shndx == SHN_UNDEF || symbol.st_shndx == SHN_ABS || type == STT_SECTION || type == STT_FILE )
				continue;
			if( binding != STB_GLOBAL && binding != STB_WEAK && binding != STB_GNU_UNIQUE )
				continue;
			if( visibility != STV_DEFAULT && visibility != STV_PROTECTED )
				continue;
			if( symbol.st_name >= strings.sh_size || strings.sh_offset + symbol.st_name >= data.size() )
				throw std::runtime_error( "corrupt symbol name" );
			const char* name = data.data() + strings.sh_offset + symbol.st_name;
			const std::string text( name, strnlen( name, data.size() - ( strings.sh_offset + symbol.st_name ) ) );
			if( !IsLinkerSymbol( text ) )
				exported.push_back( text );
		}
	}
	std::sort( exported.begin(), exported.end() );
	return exported;
}
}// namespace plughost::validate
