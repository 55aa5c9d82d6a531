// What a plug-in made from an ISF file carries: its identity, the .fs and
// .vs texts and the imported images' bytes. It is appended to a copy of the
// shell library behind a trailer, so the result is one self-contained file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace isf
{
struct Bundle
{
	std::string name;        // at most 16 bytes (FitName)
	std::string id;          // four characters
	std::string fragmentFile;// file name of the .fs, for messages
	std::string vertexFile;  // of the .vs, empty when there is none
	std::string fragment, vertex;
	std::vector< std::pair< std::string, std::vector< uint8_t > > > images;// IMPORTED name -> PNG bytes
};

// The payload with its trailer, ready to append.
std::vector< uint8_t > Serialize( const Bundle& bundle );
// Reads the payload appended to the file at `path`. False with a reason when
// there is none or it is damaged.
bool ReadAppended( const std::string& path, Bundle& bundle, std::string& error );
// Size of the file at `path` without an appended payload (the whole file
// when it has none).
uint64_t LibrarySize( const std::string& path );

// Name rule: printable ASCII only (other bytes dropped), blanks collapsed;
// when longer than 16 bytes, the first 13 (trailing blank dropped), "~" and
// two characters of a hash of the whole name, so long names stay distinct.
std::string FitName( const std::string& wanted );
// Four characters from [A-Z0-9], from a hash of the name.
std::string DeriveId( const std::string& name );
bool ValidId( const std::string& id );

// Reads FILE.fs, FILE.vs beside it when present and the IMPORTED images,
// checks the header, and fills a bundle. `name`/`id` override the derived
// identity. Throws isf::Error naming the file.
Bundle LoadIsfFiles( const std::string& path, const std::optional< std::string >& name = std::nullopt,
					 const std::optional< std::string >& id = std::nullopt );
}// namespace isf
