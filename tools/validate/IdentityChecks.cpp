// The records a host reads before any instance exists: codes 0, 13, 33, 10
// and 42.
#include "Harness.h"

#include <EntryPointValues.h>

#include <cstring>

namespace plughost::validate
{
namespace
{
const PluginInfoStruct& Info( Harness& h )
{
	h.Library();
	const auto* info = static_cast< const PluginInfoStruct* >( h.Call( FF_GET_INFO, MixedU( 0 ), nullptr, "" ).PointerValue );
	if( IsFailedPointer( info ) )
		h.Abort( Request( FF_GET_INFO ) + " answered failure; expected the info record" );
	return *info;
}

// The bytes of a fixed field as a C string literal, so a reader sees NULs
// and other unprintable bytes.
std::string Quoted( const char* field, std::size_t size )
{
	std::string text = "\"";
	for( std::size_t i = 0; i < size; ++i )
	{
		const auto byte = static_cast< unsigned char >( field[ i ] );
		char escaped[ 8 ];
		std::snprintf( escaped, sizeof escaped, byte >= 0x20 && byte < 0x7F ? "%c" : "\\x%02X", byte );
		text += escaped;
	}
	return text + "\"";
}

void ApiVersion( Harness& h )
{
	const PluginInfoStruct& info = Info( h );
	const std::string version = std::to_string( info.APIMajorVersion ) + "." + std::to_string( info.APIMinorVersion );
	if( info.APIMajorVersion != 2 )
		h.Fail( Request( FF_GET_INFO ) + " reports interface version " + version + "; expected major version 2" );
	h.Passed( "interface version " + version );
}

void Id( Harness& h )
{
	const PluginInfoStruct& info = Info( h );
	for( std::size_t i = 0; i < 4; ++i )
	{
		const auto byte = static_cast< unsigned char >( info.PluginUniqueID[ i ] );
		if( byte < 0x20 || byte >= 0x7F )
		{
			h.Fail( Request( FF_GET_INFO ) + " reports the ID " + Quoted( info.PluginUniqueID, 4 ) + ": byte " + std::to_string( i ) +
					" is not printable; expected 4 printable characters" );
			return;
		}
	}
	h.Passed( "ID " + Quoted( info.PluginUniqueID, 4 ) );
}

void Name( Harness& h )
{
	const PluginInfoStruct& info = Info( h );
	const std::size_t length = strnlen( info.PluginName, 16 );
	if( length == 0 )
		h.Fail( Request( FF_GET_INFO ) + " reports an empty name; expected a text in the 16-byte field" );
	for( std::size_t i = 0; i < length; ++i )
	{
		const auto byte = static_cast< unsigned char >( info.PluginName[ i ] );
		if( byte < 0x20 || byte == 0x7F )
		{
			h.Fail( Request( FF_GET_INFO ) + " reports the name " + Quoted( info.PluginName, 16 ) + ": byte " +
					std::to_string( i ) + " is a control character; expected a text" );
			break;
		}
	}
	h.Passed( "name " + Quoted( info.PluginName, length ) );
}

void Type( Harness& h )
{
	const PluginInfoStruct& info = Info( h );
	if( info.PluginType > FF_MIXER )
		h.Fail( Request( FF_GET_INFO ) + " reports plug-in type " + std::to_string( info.PluginType ) +
				"; expected 0 (effect), 1 (source) or 2 (mixer)" );
	h.Passed( "type " + std::to_string( info.PluginType ) + " (" + PluginTypeName( info.PluginType ) + ")" );
}

void CheckText( Harness& h, const char* text, const std::string& what )
{
	if( text == nullptr )
	{
		h.Warn( Request( FF_GET_EXTENDED_INFO ) + " has a null " + what + "; expected a text" );
		return;
	}
	h.Step( "reading the " + what + " of " + Request( FF_GET_EXTENDED_INFO ) );
	if( !ReadText( text, 65536 ) )
		h.Fail( Request( FF_GET_EXTENDED_INFO ) + ": the " + what + " has no terminating NUL within 64 KiB" );
}

void Extended( Harness& h )
{
	h.Library();
	const auto* info = static_cast< const PluginExtendedInfoStruct* >( h.Call( FF_GET_EXTENDED_INFO, MixedU( 0 ), nullptr, "" ).PointerValue );
	if( IsFailedPointer( info ) )
		h.Abort( Request( FF_GET_EXTENDED_INFO ) + " answered failure; expected the extended info record" );
	CheckText( h, info->Description, "description" );
	CheckText( h, info->About, "about text" );
	if( info->FreeFrameExtendedDataSize > 0 && info->FreeFrameExtendedDataBlock == nullptr )
		h.Fail( Request( FF_GET_EXTENDED_INFO ) + " reports " + std::to_string( info->FreeFrameExtendedDataSize ) +
				" bytes of extended data at a null address; expected size 0 with a null block" );
	else if( info->FreeFrameExtendedDataSize == 0 && info->FreeFrameExtendedDataBlock != nullptr )
		h.Warn( Request( FF_GET_EXTENDED_INFO ) + " reports an extended data block of size 0 at a non-null address" );
	h.Passed( "version " + std::to_string( info->PluginMajorVersion ) + "." + std::to_string( info->PluginMinorVersion ) +
			  ", description and about text are texts" );
}

void ShortName( Harness& h )
{
	h.Library();
	const auto* text = static_cast< const char* >( h.Call( FF_GET_PLUGIN_SHORT_NAME, MixedU( 0 ), nullptr, "" ).PointerValue );
	if( IsFailedPointer( text ) )
	{
		h.Passed( "no short name" );
		return;
	}
	h.Step( "reading the text of " + Request( FF_GET_PLUGIN_SHORT_NAME ) );
	const auto name = ReadText( text, 4096 );
	if( !name )
		h.Fail( Request( FF_GET_PLUGIN_SHORT_NAME ) + " answers a text with no terminating NUL within 4096 bytes" );
	else
		h.Passed( "short name \"" + *name + "\"" );
}

void Capabilities( Harness& h )
{
	h.Library();
	auto cap = [ & ]( uint32_t code ) { return h.CallU( FF_GET_PLUGIN_CAPS, code, nullptr, "for capability " + std::to_string( code ) ); };
	for( uint32_t code : { FF_CAP_SET_TIME, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION } )
		if( const uint32_t answer = cap( code ); answer > 1 )
			h.Fail( Request( FF_GET_PLUGIN_CAPS ) + " for capability " + std::to_string( code ) + " answers " +
					Answer( answer ) + "; expected 0 or 1" );
	const uint32_t minimum = cap( FF_CAP_MINIMUM_INPUT_FRAMES ), maximum = cap( FF_CAP_MAXIMUM_INPUT_FRAMES );
	if( minimum == FF_FAIL || maximum == FF_FAIL )
		h.Fail( Request( FF_GET_PLUGIN_CAPS ) + " answered failure for the number of inputs (capability 10 or 11); expected counts" );
	else if( minimum > maximum )
		h.Fail( Request( FF_GET_PLUGIN_CAPS ) + " reports at least " + std::to_string( minimum ) + " and at most " +
				std::to_string( maximum ) + " inputs; expected the minimum not above the maximum" );
	const uint32_t type  = h.PluginType();
	const uint32_t needs = type == FF_EFFECT ? 1 : type == FF_MIXER ? 2 : 0;
	if( maximum != FF_FAIL && maximum < needs )
		h.Warn( "a" + std::string( type == FF_EFFECT ? "n effect" : " mixer" ) + " that takes at most " +
				std::to_string( maximum ) + " input(s) (" + Request( FF_GET_PLUGIN_CAPS ) + ", capability 11)" );
	for( uint32_t code : { 0u, 3u, 12u, 99u, 0xFFFFFFFFu } )
		if( const uint32_t answer = cap( code ); answer > 1 && answer != FF_FAIL )
			h.Warn( Request( FF_GET_PLUGIN_CAPS ) + " for unknown capability " + std::to_string( code ) + " answers " +
					Answer( answer ) + "; expected 0" );
	h.Passed( "inputs " + std::to_string( minimum ) + " to " + std::to_string( maximum ) );
}

void Thumbnail( Harness& h )
{
	h.Library();
	GetThumbnailStruct query{ 0, 0, nullptr };
	const uint32_t answer = h.CallP( FF_GET_THUMBNAIL, &query, nullptr, "with no pixel buffer" );
	if( answer != FF_SUCCESS )
	{
		if( answer != FF_FAIL )
			h.Warn( Request( FF_GET_THUMBNAIL ) + " answers " + Answer( answer ) + "; expected 0 or failure" );
		h.Passed( "no thumbnail" );
		return;
	}
	const uint64_t bytes = uint64_t( query.width ) * query.height * 4;
	if( query.width == 0 || query.height == 0 || query.width > 4096 || query.height > 4096 )
		h.Abort( Request( FF_GET_THUMBNAIL ) + " answers success with a thumbnail of " + std::to_string( query.width ) + "x" +
				 std::to_string( query.height ) + "; expected a size from 1x1 to 4096x4096" );
	// Guard bytes after the buffer catch a copy of the wrong size.
	constexpr std::size_t kGuard = 64;
	std::vector< uint8_t > buffer( bytes + kGuard, 0xA5 );
	GetThumbnailStruct copy{ 0, 0, buffer.data() };
	if( h.CallP( FF_GET_THUMBNAIL, &copy, nullptr, "with a pixel buffer" ) != FF_SUCCESS )
		h.Fail( Request( FF_GET_THUMBNAIL ) + " with a pixel buffer answered failure; without one it answered success" );
	if( copy.width != query.width || copy.height != query.height )
		h.Fail( Request( FF_GET_THUMBNAIL ) + " reports " + std::to_string( copy.width ) + "x" + std::to_string( copy.height ) +
				" the second time; expected the same size twice" );
	for( std::size_t i = bytes; i < buffer.size(); ++i )
		if( buffer[ i ] != 0xA5 )
		{
			h.Fail( Request( FF_GET_THUMBNAIL ) + " wrote beyond width x height x 4 = " + std::to_string( bytes ) +
					" bytes into the host's buffer" );
			break;
		}
	h.Passed( "thumbnail " + std::to_string( query.width ) + "x" + std::to_string( query.height ) );
}
}// namespace

void AddIdentityChecks( std::vector< CheckSpec >& checks )
{
	const std::string g = "identity";
	checks.push_back( { g, "api-version", "code 0 reports interface version 2.x", ApiVersion } );
	checks.push_back( { g, "id", "the ID is 4 printable characters", Id } );
	checks.push_back( { g, "name", "the name is a text within its 16 bytes", Name } );
	checks.push_back( { g, "type", "the type is 0, 1 or 2 (effect, source, mixer)", Type } );
	checks.push_back( { g, "extended", "code 13: texts are terminated, the data block is consistent", Extended } );
	checks.push_back( { g, "short-name", "code 33 answers null or a terminated text", ShortName } );
	checks.push_back( { g, "capabilities", "code 10 answers 0 or 1 and input counts that make sense", Capabilities } );
	checks.push_back( { g, "thumbnail", "code 42 reports a sane size and copies exactly that many pixels", Thumbnail } );
}
}// namespace plughost::validate
