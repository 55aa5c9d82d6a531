// Null records, null instances and codes that name no request: a host bug
// must come back as a failure answer, never as a crash.
#include "Harness.h"

#include <EntryPointValues.h>

#include <algorithm>
#include <cstring>

namespace plughost::validate
{
namespace
{
struct NullRecord
{
	uint32_t code;
	const char* record;
	bool mustFail;     // the host interface's rules say so; otherwise a crash still FAILs
	bool needsInstance;// the handle is required
};

// Every request that takes a pointer to a record.
const NullRecord kNullRecords[] = {
	{ 8, "parameter value record", false, true },  { 17, "frame record", true, true },
	{ 18, "viewport", true, false },                { 20, "time pointer", true, true },
	{ 23, "viewport", false, true },                { 35, "element query record", false, false },
	{ 36, "element query record", false, false },   { 37, "element value record", false, true },
	{ 38, "beat record", false, true },             { 39, "host info record", false, true },
	{ 41, "range record", false, false },           { 42, "thumbnail record", true, false },
	{ 44, "element query record", false, false },   { 46, "parameter events record", false, true },
	{ 48, "element query record", false, false },   { 50, "text query record", true, false },
	{ 51, "text query record", true, true },
};

bool Failed( uint32_t code, FFMixed answer )
{
	// Pointer answers fail as null or as the widened failure code; code 47
	// fails as 0.
	switch( code )
	{
	case FF_GET_PARAMETER_DISPLAY:
	case FF_INSTANTIATE_GL:
	case FF_GET_PARAMETER_ELEMENT_NAME:
	case FF_GET_FILE_PARAMETER_EXTENSION:
		return IsFailedPointer( answer.PointerValue );
	default:
		return answer.UIntValue == FF_FAIL;
	}
}

void NullRecordCheck( Harness& h, const NullRecord& entry )
{
	std::unique_ptr< Instance > instance;
	if( entry.needsInstance )
		instance = h.Instantiate( 64, 48 );
	const std::string what = "with a null " + std::string( entry.record );
	const FFMixed answer = h.Call( entry.code, MixedP( nullptr ), instance ? instance->Handle() : nullptr, what );
	if( Failed( entry.code, answer ) )
		h.Passed( Request( entry.code ) + " " + what + " answers failure" );
	else if( entry.mustFail )
		h.Fail( Request( entry.code ) + " " + what + " answers " + Answer( answer.UIntValue ) + "; expected failure" );
	else
		h.Warn( Request( entry.code ) + " " + what + " answers " + Answer( answer.UIntValue ) +
				"; failure is the safe answer" );
	if( entry.code == FF_INSTANTIATE_GL && !Failed( entry.code, answer ) )
		return;// a handle made from nothing: leave it alone
	h.Destroy( instance );
}

// Requests that need an instance, each with a harmless input.
struct NullInstance
{
	uint32_t code;
	const char* input;
};
const NullInstance kNullInstances[] = {
	{ 7, "index" },  { 8, "record" },  { 9, "index" },  { 16, "index" }, { 17, "record" }, { 19, "" },
	{ 20, "record" }, { 21, "" },      { 22, "" },      { 23, "record" }, { 37, "record" }, { 38, "record" },
	{ 39, "record" }, { 40, "index" }, { 46, "record" }, { 49, "index" }, { 51, "record" },
};

void NullInstanceCheck( Harness& h )
{
	// Records big enough for any request, zero-filled, with valid pointers
	// where a record holds them.
	alignas( 16 ) unsigned char record[ 256 ] = {};
	char text[ 16 ]                           = "host";
	const char* texts[ 2 ]                     = { text, text };
	FFGLTextureStruct* noTextures[ 1 ]         = { nullptr };
	for( const auto& [ code, input ] : kNullInstances )
	{
		std::fill( std::begin( record ), std::end( record ), 0 );
		if( code == FF_SET_HOSTINFO )
			std::memcpy( record, texts, sizeof texts );
		if( code == FF_PROCESS_OPENGL )
			std::memcpy( record + 8, &noTextures, sizeof( void* ) );
		if( code == FF_RESIZE )
			record[ 8 ] = record[ 12 ] = 16;// a 16x16 viewport
		const FFMixed value = std::string( input ) == "record" ? MixedP( record ) : MixedU( 0 );
		const FFMixed answer = h.Call( code, value, nullptr, "with a null instance" );
		if( !Failed( code, answer ) )
			h.Fail( Request( code ) + " with a null instance answers " + Answer( answer.UIntValue ) + "; expected failure" );
	}
	h.Passed( "every request that needs an instance answers failure without one" );
}

void UnknownCodes( Harness& h )
{
	auto instance = h.Instantiate( 64, 48 );
	alignas( 16 ) unsigned char zeros[ 256 ] = {};
	const uint32_t codes[] = { 1, 3, 11, 12, 14, 24, 25, 26, 27, 28, 29, 30, 52, 53, 100, 1000, 0xFFFF, 0x7FFFFFFF, 0xFFFFFFFF };
	for( uint32_t code : codes )
		for( void* handle : { static_cast< void* >( nullptr ), instance->Handle() } )
			for( const FFMixed& input : { MixedU( 0 ), MixedP( zeros ) } )
			{
				const std::string what = std::string( handle ? "on an instance" : "without an instance" ) +
										 ( input.PointerValue == nullptr ? " with input 0" : " with a zeroed record" );
				const FFMixed answer = h.Call( code, input, handle, what );
				if( answer.UIntValue != FF_FAIL )
				{
					h.Fail( Request( code ) + " " + what + " answers " + Answer( answer.UIntValue ) + "; expected failure" );
					break;
				}
			}
	h.Destroy( instance );
	h.Passed( "reserved and unknown codes answer failure" );
}
}// namespace

void AddNullRecordChecks( std::vector< CheckSpec >& checks )
{
	for( const NullRecord& entry : kNullRecords )
		checks.push_back( { "null", "record-" + std::to_string( entry.code ),
							Request( entry.code ) + " with a null " + entry.record + ( entry.mustFail ? " answers failure" : " does not crash" ),
							[ entry ]( Harness& h ) { NullRecordCheck( h, entry ); } } );
	checks.push_back( { "null", "instance", "every request that needs an instance answers failure with a null one", NullInstanceCheck } );
	checks.push_back( { "null", "unknown-codes", "codes 1, 3, 11, 12, 14, 24-30, 52 and beyond answer failure", UnknownCodes } );
}
}// namespace plughost::validate
