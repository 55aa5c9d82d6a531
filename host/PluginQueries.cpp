// Typed wrappers for the plug-in-wide function codes.
#include "EntryPointValues.h"
#include "PluginLibrary.h"

#include <vector>

namespace plughost
{
namespace
{
// Counts beyond this are treated as corrupt answers rather than looped over.
constexpr uint32_t kMaxCount = 65536;

std::optional< uint32_t > Counted( uint32_t answer )
{
	if( answer == FF_FAIL )
		return std::nullopt;
	return answer;
}
}// namespace

std::optional< ExtendedIdentity > PluginLibrary::Extended() const
{
	const auto* info = static_cast< const PluginExtendedInfoStruct* >( Call( FF_GET_EXTENDED_INFO, MixedU( 0 ) ).PointerValue );
	if( IsFailedPointer( info ) )
		return std::nullopt;
	ExtendedIdentity extended;
	extended.majorVersion     = info->PluginMajorVersion;
	extended.minorVersion     = info->PluginMinorVersion;
	extended.description      = CopyText( info->Description );
	extended.about            = CopyText( info->About );
	extended.extendedDataSize = info->FreeFrameExtendedDataSize;
	return extended;
}

std::optional< std::string > PluginLibrary::ShortName() const
{
	const auto* text = static_cast< const char* >( Call( FF_GET_PLUGIN_SHORT_NAME, MixedU( 0 ) ).PointerValue );
	if( IsFailedPointer( text ) )
		return std::nullopt;
	return CopyText( text );
}

uint32_t PluginLibrary::Capability( uint32_t capability ) const
{
	return CallU( FF_GET_PLUGIN_CAPS, capability );
}

Capabilities PluginLibrary::Caps() const
{
	Capabilities caps;
	caps.timeSupported      = Capability( FF_CAP_SET_TIME ) == FF_SUPPORTED;
	caps.minimumInputs      = Capability( FF_CAP_MINIMUM_INPUT_FRAMES );
	caps.maximumInputs      = Capability( FF_CAP_MAXIMUM_INPUT_FRAMES );
	caps.topLeftOrientation = Capability( FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ) == FF_SUPPORTED;
	return caps;
}

uint32_t PluginLibrary::ParameterCount() const
{
	const uint32_t count = CallU( FF_GET_NUM_PARAMETERS );
	if( count == FF_FAIL )
		throw Error( path + ": the plug-in failed to report its parameter count" );
	if( count > kMaxCount )
		throw Error( path + ": implausible parameter count " + std::to_string( count ) );
	return count;
}

std::optional< std::string > PluginLibrary::ParameterName( uint32_t index ) const
{
	const auto* text = static_cast< const char* >( Call( FF_GET_PARAMETER_NAME, MixedU( index ) ).PointerValue );
	if( IsFailedPointer( text ) )
		return std::nullopt;
	return CopyText( text );
}

std::optional< FFMixed > PluginLibrary::ParameterDefault( uint32_t index ) const
{
	const FFMixed answer = Call( FF_GET_PARAMETER_DEFAULT, MixedU( index ) );
	const auto type      = ParameterType( index );
	const bool failed    = type && IsTextType( *type ) ? IsFailedPointer( answer.PointerValue ) : answer.UIntValue == FF_FAIL;
	if( failed )
		return std::nullopt;
	return answer;
}

std::optional< uint32_t > PluginLibrary::ParameterType( uint32_t index ) const
{
	return Counted( CallU( FF_GET_PARAMETER_TYPE, index ) );
}

std::optional< uint32_t > PluginLibrary::ParameterUsage( uint32_t index ) const
{
	return Counted( CallU( FF_GET_PARAMETER_USAGE, index ) );
}

std::optional< uint32_t > PluginLibrary::ElementCount( uint32_t index, void* instance ) const
{
	return Counted( CallU( FF_GET_NUM_PARAMETER_ELEMENTS, index, instance ) );
}

std::optional< std::string > PluginLibrary::ElementName( uint32_t index, uint32_t element, void* instance ) const
{
	GetParameterElementStruct query{ index, element };
	const auto* text = static_cast< const char* >( Call( FF_GET_PARAMETER_ELEMENT_NAME, MixedP( &query ), instance ).PointerValue );
	if( IsFailedPointer( text ) )
		return std::nullopt;
	return CopyText( text );
}

std::optional< float > PluginLibrary::ElementValue( uint32_t index, uint32_t element, void* instance ) const
{
	GetParameterElementStruct query{ index, element };
	const FFMixed answer = Call( FF_GET_PARAMETER_ELEMENT_VALUE, MixedP( &query ), instance );
	if( answer.UIntValue == FF_FAIL )
		return std::nullopt;
	return answer.FloatValue;
}

std::optional< std::pair< float, float > > PluginLibrary::Range( uint32_t index ) const
{
	RangeStruct range{ index, 0.0f, 1.0f };
	if( CallP( FF_GET_RANGE, &range ) != FF_SUCCESS )
		return std::nullopt;
	return std::make_pair( range.min, range.max );
}

std::optional< uint32_t > PluginLibrary::FileExtensionCount( uint32_t index ) const
{
	return Counted( CallU( FF_GET_NUM_FILE_PARAMETER_EXTENSIONS, index ) );
}

std::optional< std::string > PluginLibrary::FileExtension( uint32_t index, uint32_t extension ) const
{
	GetParameterElementStruct query{ index, extension };
	const auto* text = static_cast< const char* >( Call( FF_GET_FILE_PARAMETER_EXTENSION, MixedP( &query ) ).PointerValue );
	if( IsFailedPointer( text ) )
		return std::nullopt;
	return CopyText( text );
}

std::optional< bool > PluginLibrary::Visible( uint32_t index, void* instance ) const
{
	const uint32_t answer = CallU( FF_GET_PARAMETER_VISIBILITY, index, instance );
	if( answer == FF_FAIL )
		return std::nullopt;
	return answer != 0;
}

uint32_t PluginLibrary::SeparatorCount( uint32_t index ) const
{
	return CallU( FF_GET_NUM_ELEMENT_SEPARATORS, index );
}

std::optional< uint32_t > PluginLibrary::SeparatorElement( uint32_t index, uint32_t separator ) const
{
	GetParameterElementStruct query{ index, separator };
	return Counted( CallP( FF_GET_SEPARATOR_ELEMENT_INDEX, &query ) );
}

std::optional< std::string > PluginLibrary::Group( uint32_t index ) const
{
	return QueryText( *this, FF_GET_PARAM_GROUP, index, nullptr );
}

std::optional< std::string > QueryText( const PluginLibrary& library, uint32_t code, uint32_t index, void* instance,
										uint32_t capacity )
{
	// One spare zero byte terminates a text that fills the whole capacity.
	std::vector< char > buffer( static_cast< std::size_t >( capacity ) + 1, '\0' );
	GetStringStruct query{};
	query.parameterNumber        = index;
	query.stringBuffer.address    = buffer.data();
	query.stringBuffer.maxToWrite = capacity;
	if( library.CallP( code, &query, instance ) != FF_SUCCESS )
		return std::nullopt;
	return std::string( buffer.data() );
}

ParameterDescription PluginLibrary::Describe( uint32_t index ) const
{
	ParameterDescription description;
	description.index = index;
	const auto name   = ParameterName( index );
	const auto type   = ParameterType( index );
	if( !name || !type )
		throw Error( path + ": the plug-in failed to describe parameter " + std::to_string( index ) );
	description.name = *name;
	description.type = *type;

	if( const auto answer = ParameterDefault( index ) )
	{
		if( IsTextType( description.type ) )
			description.defaultText = CopyText( static_cast< const char* >( answer->PointerValue ) );
		else
			description.defaultValue = answer->FloatValue;
	}
	if( const auto range = Range( index ) )
	{
		description.minimum = range->first;
		description.maximum = range->second;
	}
	description.usage   = ParameterUsage( index ).value_or( 0 );
	description.visible = Visible( index ).value_or( true );
	description.group   = Group( index ).value_or( "" );

	const uint32_t elements = ElementCount( index ).value_or( 0 );
	if( elements > kMaxCount )
		throw Error( path + ": implausible element count for parameter " + std::to_string( index ) );
	for( uint32_t e = 0; e < elements; ++e )
		description.elements.push_back( { ElementName( index, e ).value_or( "" ), ElementValue( index, e ) } );

	const uint32_t separators = SeparatorCount( index );
	for( uint32_t s = 0; s < separators && s < kMaxCount; ++s )
		if( const auto element = SeparatorElement( index, s ) )
			description.separators.push_back( *element );

	const uint32_t extensions = FileExtensionCount( index ).value_or( 0 );
	for( uint32_t x = 0; x < extensions && x < kMaxCount; ++x )
		if( const auto extension = FileExtension( index, x ) )
			description.fileExtensions.push_back( *extension );
	return description;
}

std::vector< ParameterDescription > PluginLibrary::DescribeAll() const
{
	std::vector< ParameterDescription > all;
	const uint32_t count = ParameterCount();
	all.reserve( count );
	for( uint32_t i = 0; i < count; ++i )
		all.push_back( Describe( i ) );
	return all;
}
}// namespace plughost
