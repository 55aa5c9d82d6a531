#include "IsfBundle.h"

#include "IsfDocument.h"
#include "IsfPng.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace isf
{
namespace
{
namespace fs = std::filesystem;

constexpr char kMagic[ 8 ] = { 'F', 'F', 'G', 'L', 'I', 'S', 'F', '1' };
constexpr uint64_t kTrailer = 16;// payload size (u64) + magic
constexpr uint64_t kLargest = uint64_t( 1 ) << 30;

void PutU64( std::vector< uint8_t >& out, uint64_t value )
{
	for( int k = 0; k < 8; ++k )
		out.push_back( static_cast< uint8_t >( value >> ( 8 * k ) ) );
}

uint64_t GetU64( const uint8_t* bytes )
{
	uint64_t value = 0;
	for( int k = 0; k < 8; ++k )
		value |= uint64_t( bytes[ k ] ) << ( 8 * k );
	return value;
}

void PutRecord( std::vector< uint8_t >& out, const std::string& key, const void* data, size_t size )
{
	PutU64( out, key.size() );
	out.insert( out.end(), key.begin(), key.end() );
	PutU64( out, size );
	const uint8_t* bytes = static_cast< const uint8_t* >( data );
	out.insert( out.end(), bytes, bytes + size );
}

uint32_t Fnv1a( const std::string& text )
{
	uint32_t hash = 2166136261u;
	for( unsigned char c : text )
	{
		hash ^= c;
		hash *= 16777619u;
	}
	return hash;
}

std::string ReadFile( const fs::path& path, const std::string& what )
{
	std::ifstream file( path, std::ios::binary );
	if( !file )
		throw Error( what + ": cannot read " + path.string() + ": " + std::strerror( errno ) );
	return std::string( std::istreambuf_iterator< char >( file ), {} );
}
}// namespace

std::vector< uint8_t > Serialize( const Bundle& bundle )
{
	std::vector< uint8_t > out;
	PutRecord( out, "name", bundle.name.data(), bundle.name.size() );
	PutRecord( out, "id", bundle.id.data(), bundle.id.size() );
	PutRecord( out, "file", bundle.fragmentFile.data(), bundle.fragmentFile.size() );
	PutRecord( out, "vsfile", bundle.vertexFile.data(), bundle.vertexFile.size() );
	PutRecord( out, "fs", bundle.fragment.data(), bundle.fragment.size() );
	PutRecord( out, "vs", bundle.vertex.data(), bundle.vertex.size() );
	for( const auto& [ name, bytes ] : bundle.images )
		PutRecord( out, "img:" + name, bytes.data(), bytes.size() );
	const uint64_t size = out.size();
	PutU64( out, size );
	out.insert( out.end(), kMagic, kMagic + 8 );
	return out;
}

namespace
{
// Offset of the payload in the file and its size; false without one.
bool FindPayload( std::ifstream& file, uint64_t fileSize, uint64_t& offset, uint64_t& size )
{
	if( fileSize < kTrailer )
		return false;
	uint8_t trailer[ kTrailer ];
	file.seekg( static_cast< std::streamoff >( fileSize - kTrailer ) );
	if( !file.read( reinterpret_cast< char* >( trailer ), kTrailer ) || std::memcmp( trailer + 8, kMagic, 8 ) != 0 )
		return false;
	size = GetU64( trailer );
	if( size > kLargest || size > fileSize - kTrailer )
		return false;
	offset = fileSize - kTrailer - size;
	return true;
}
}// namespace

uint64_t LibrarySize( const std::string& path )
{
	std::error_code error;
	const uint64_t total = fs::file_size( path, error );
	if( error )
		return 0;
	std::ifstream file( path, std::ios::binary );
	uint64_t offset = 0, size = 0;
	return file && FindPayload( file, total, offset, size ) ? offset : total;
}

bool ReadAppended( const std::string& path, Bundle& bundle, std::string& error )
{
	std::error_code code;
	const uint64_t total = fs::file_size( path, code );
	std::ifstream file( path, std::ios::binary );
	if( code || !file )
	{
		error = "cannot read " + path;
		return false;
	}
	uint64_t offset = 0, size = 0;
	if( !FindPayload( file, total, offset, size ) )
	{
		error = path + " carries no ISF shader (it is the bare shell; make plug-ins with `plughost isf FILE.fs`)";
		return false;
	}
	std::vector< uint8_t > payload( size );
	file.seekg( static_cast< std::streamoff >( offset ) );
	if( !file.read( reinterpret_cast< char* >( payload.data() ), static_cast< std::streamsize >( size ) ) )
	{
		error = "cannot read the ISF shader carried in " + path;
		return false;
	}
	uint64_t at = 0;
	auto take = [ & ]( uint64_t count, const uint8_t*& where ) {
		if( count > size - at )
			return false;
		where = payload.data() + at;
		at += count;
		return true;
	};
	while( at < size )
	{
		const uint8_t* p = nullptr;
		if( !take( 8, p ) )
			break;
		const uint64_t keySize = GetU64( p );
		const uint8_t* key     = nullptr;
		if( !take( keySize, key ) || !take( 8, p ) )
			break;
		const uint64_t valueSize = GetU64( p );
		const uint8_t* value     = nullptr;
		if( !take( valueSize, value ) )
			break;
		const std::string name( reinterpret_cast< const char* >( key ), keySize );
		const std::string text( reinterpret_cast< const char* >( value ), valueSize );
		if( name == "name" )
			bundle.name = text;
		else if( name == "id" )
			bundle.id = text;
		else if( name == "file" )
			bundle.fragmentFile = text;
		else if( name == "vsfile" )
			bundle.vertexFile = text;
		else if( name == "fs" )
			bundle.fragment = text;
		else if( name == "vs" )
			bundle.vertex = text;
		else if( name.rfind( "img:", 0 ) == 0 )
			bundle.images.emplace_back( name.substr( 4 ), std::vector< uint8_t >( value, value + valueSize ) );
	}
	if( at != size || bundle.fragment.empty() || !ValidId( bundle.id ) || bundle.name.empty() || bundle.name.size() > 16 )
	{
		error = "the ISF shader carried in " + path + " is damaged";
		return false;
	}
	return true;
}

std::string FitName( const std::string& wanted )
{
	std::string name;
	for( unsigned char c : wanted )
	{
		if( c == ' ' || c == '\t' || c == '\n' || c == '\r' )
		{
			if( !name.empty() && name.back() != ' ' )
				name += ' ';
		}
		else if( c > 32 && c < 127 )
			name += static_cast< char >( c );
	}
	while( !name.empty() && name.back() == ' ' )
		name.pop_back();
	if( name.empty() )
		return "ISF";
	if( name.size() <= 16 )
		return name;
	static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
	const uint32_t hash = Fnv1a( name );
	std::string shortened = name.substr( 0, 13 );
	while( !shortened.empty() && shortened.back() == ' ' )
		shortened.pop_back();
	return shortened + "~" + digits[ hash % 36 ] + digits[ ( hash / 36 ) % 36 ];
}

std::string DeriveId( const std::string& name )
{
	static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
	uint32_t hash = Fnv1a( "isf:" + name );
	std::string id;
	for( int k = 0; k < 4; ++k )
	{
		id += digits[ hash % 36 ];
		hash /= 36;
	}
	return id;
}

bool ValidId( const std::string& id )
{
	if( id.size() != 4 )
		return false;
	for( unsigned char c : id )
		if( c <= 32 || c >= 127 )
			return false;
	return true;
}

Bundle LoadIsfFiles( const std::string& path, const std::optional< std::string >& name, const std::optional< std::string >& id )
{
	const fs::path file( path );
	const std::string fileName = file.filename().string();
	Bundle bundle;
	bundle.fragmentFile = fileName;
	std::error_code error;
	if( fs::exists( file, error ) && !fs::is_regular_file( file, error ) )
		throw Error( fileName + ": " + path + " is not a file" );
	bundle.fragment = ReadFile( file, fileName );
	if( bundle.fragment.empty() )
		throw Error( fileName + ": the file is empty" );
	const Document document = ParseDocument( bundle.fragment, fileName );
	fs::path vertex = file;
	vertex.replace_extension( ".vs" );
	if( fs::is_regular_file( vertex, error ) )
	{
		bundle.vertexFile = vertex.filename().string();
		bundle.vertex     = ReadFile( vertex, fileName );
	}
	for( const ImportedImage& image : document.imported )
	{
		const fs::path where = file.parent_path() / image.path;
		if( !fs::is_regular_file( where, error ) )
			throw Error( fileName + ": imported image \"" + image.name + "\": no file " + where.string() );
		const std::string bytes = ReadFile( where, fileName );
		std::vector< uint8_t > data( bytes.begin(), bytes.end() );
		DecodePng( data, fileName + ": imported image \"" + image.name + "\" (" + image.path + ")" );
		bundle.images.emplace_back( image.name, std::move( data ) );
	}
	bundle.name = FitName( name ? *name : file.stem().string() );
	if( id )
	{
		if( !ValidId( *id ) )
			throw Error( fileName + ": the ID \"" + *id + "\" is not four printable ASCII characters" );
		bundle.id = *id;
	}
	else
		bundle.id = DeriveId( bundle.name );
	return bundle;
}
}// namespace isf
