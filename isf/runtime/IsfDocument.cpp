#include "IsfDocument.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <set>

namespace isf
{
namespace
{
using json = nlohmann::json;

[[noreturn]] void Fail( const Document& document, const std::string& message, int line = 0 )
{
	throw Error( document.fileName + ( line > 0 ? ":" + std::to_string( line ) : std::string() ) + ": " + message );
}

bool IsIdentifier( const std::string& name )
{
	if( name.empty() || !( std::isalpha( static_cast< unsigned char >( name[ 0 ] ) ) || name[ 0 ] == '_' ) )
		return false;
	return std::all_of( name.begin(), name.end(), []( char c ) { return std::isalnum( static_cast< unsigned char >( c ) ) || c == '_'; } );
}

// Names the generated prelude declares: an input may not take them.
const std::set< std::string >& ReservedNames()
{
	static const std::set< std::string > names = { "TIME", "TIMEDELTA", "FRAMEINDEX", "DATE", "RENDERSIZE", "PASSINDEX",
												   "isf_FragNormCoord", "vv_FragNormCoord", "gl_FragColor", "main" };
	return names;
}

std::string Where( const std::string& what, const std::string& name )
{
	return what + " \"" + name + "\"";
}

// A JSON number, or a boolean as 0/1: files write both for flags and bools.
bool ReadNumber( const json& value, float& out )
{
	if( value.is_number() )
	{
		const double number = value.get< double >();
		if( !std::isfinite( number ) || std::fabs( number ) > 3.0e38 )
			return false;
		out = static_cast< float >( number );
		return true;
	}
	if( value.is_boolean() )
	{
		out = value.get< bool >() ? 1.0f : 0.0f;
		return true;
	}
	return false;
}

bool Truthy( const json& value )
{
	if( value.is_boolean() )
		return value.get< bool >();
	if( value.is_number() )
		return value.get< double >() > 0.0;
	if( value.is_string() )
	{
		const std::string text = value.get< std::string >();
		return text == "true" || text == "TRUE" || text == "YES" || text == "1";
	}
	return false;
}

// DEFAULT / MIN / MAX with `count` components (1 for scalars).
bool ReadValue( const Document& document, const Input& input, const json& object, const char* key, size_t count,
				std::array< float, 4 >& out )
{
	auto found = object.find( key );
	if( found == object.end() || found->is_null() )
		return false;
	const std::string what = Where( "input", input.name ) + " " + key;
	if( count == 1 )
	{
		const json& value = found->is_array() && found->size() == 1 ? ( *found )[ 0 ] : *found;
		if( !ReadNumber( value, out[ 0 ] ) )
			Fail( document, what + " is not a number" );
		return true;
	}
	if( !found->is_array() || found->size() < count - ( count == 4 ? 1 : 0 ) || found->size() > count )
		Fail( document, what + " is not an array of " + std::to_string( count ) + " numbers" );
	for( size_t k = 0; k < found->size(); ++k )
		if( !ReadNumber( ( *found )[ k ], out[ k ] ) )
			Fail( document, what + " holds something that is not a number" );
	if( count == 4 && found->size() == 3 )
		out[ 3 ] = 1.0f;
	return true;
}

InputType ReadType( const Document& document, const std::string& name, const json& object )
{
	auto found = object.find( "TYPE" );
	if( found == object.end() || !found->is_string() )
		Fail( document, Where( "input", name ) + " has no TYPE" );
	static const std::pair< const char*, InputType > types[] = {
		{ "event", InputType::Event }, { "bool", InputType::Bool }, { "long", InputType::Long },
		{ "float", InputType::Float }, { "point2D", InputType::Point2D }, { "color", InputType::Color },
		{ "image", InputType::Image }, { "audio", InputType::Audio }, { "audioFFT", InputType::AudioFFT },
	};
	const std::string text = found->get< std::string >();
	for( const auto& [ key, type ] : types )
		if( text == key )
			return type;
	Fail( document, Where( "input", name ) + " has the unknown TYPE \"" + text +
						"\"; known types are event, bool, long, float, point2D, color, image, audio and audioFFT" );
}

Input ReadInput( const Document& document, const json& object )
{
	Input input;
	if( !object.is_object() )
		Fail( document, "an entry of INPUTS is not a JSON object" );
	auto name = object.find( "NAME" );
	if( name == object.end() || !name->is_string() )
		Fail( document, "an input has no NAME" );
	input.name = name->get< std::string >();
	if( !IsIdentifier( input.name ) )
		Fail( document, Where( "input", input.name ) + ": NAME must be a GLSL identifier (letters, digits, _)" );
	input.type = ReadType( document, input.name, object );
	auto label = object.find( "LABEL" );
	input.label = label != object.end() && label->is_string() && !label->get< std::string >().empty() ? label->get< std::string >() : input.name;

	switch( input.type )
	{
	case InputType::Float:
	case InputType::Bool:
	case InputType::Long:
		input.hasDefault = ReadValue( document, input, object, "DEFAULT", 1, input.defaultValue );
		input.hasMin     = ReadValue( document, input, object, "MIN", 1, input.minimum );
		input.hasMax     = ReadValue( document, input, object, "MAX", 1, input.maximum );
		break;
	case InputType::Point2D:
		input.hasDefault = ReadValue( document, input, object, "DEFAULT", 2, input.defaultValue );
		input.hasMin     = ReadValue( document, input, object, "MIN", 2, input.minimum );
		input.hasMax     = ReadValue( document, input, object, "MAX", 2, input.maximum );
		break;
	case InputType::Color:
		input.hasDefault = ReadValue( document, input, object, "DEFAULT", 4, input.defaultValue );
		input.hasMin     = ReadValue( document, input, object, "MIN", 4, input.minimum );
		input.hasMax     = ReadValue( document, input, object, "MAX", 4, input.maximum );
		break;
	case InputType::Audio:
	case InputType::AudioFFT:
	{
		std::array< float, 4 > max{};
		if( ReadValue( document, input, object, "MAX", 1, max ) )
		{
			if( !( max[ 0 ] >= 1.0f && max[ 0 ] <= 4096.0f ) )
				Fail( document, Where( "input", input.name ) + " MAX must be a sample count from 1 to 4096" );
			input.samples = static_cast< uint32_t >( max[ 0 ] );
		}
		break;
	}
	default:
		break;
	}
	if( input.type == InputType::Long )
	{
		auto values = object.find( "VALUES" );
		if( values != object.end() )
		{
			if( !values->is_array() || values->empty() )
				Fail( document, Where( "input", input.name ) + " VALUES is not a non-empty array of numbers" );
			for( const json& value : *values )
			{
				float number = 0.0f;
				if( !ReadNumber( value, number ) || std::fabs( number ) > 2.0e9f )
					Fail( document, Where( "input", input.name ) + " VALUES holds something that is not an integer" );
				input.values.push_back( static_cast< int >( std::lround( number ) ) );
			}
			auto labels = object.find( "LABELS" );
			if( labels != object.end() )
			{
				if( !labels->is_array() || labels->size() != values->size() )
					Fail( document, Where( "input", input.name ) + " LABELS must be an array as long as VALUES" );
				for( const json& text : *labels )
					input.labels.push_back( text.is_string() ? text.get< std::string >() : text.dump() );
			}
			else
				for( int value : input.values )
					input.labels.push_back( std::to_string( value ) );
		}
	}
	return input;
}

Pass ReadPass( const Document& document, const json& object )
{
	if( !object.is_object() )
		Fail( document, "an entry of PASSES is not a JSON object" );
	Pass pass;
	if( auto target = object.find( "TARGET" ); target != object.end() && !target->is_null() )
	{
		if( !target->is_string() || !IsIdentifier( target->get< std::string >() ) )
			Fail( document, "a pass TARGET must be a GLSL identifier" );
		pass.target = target->get< std::string >();
	}
	if( auto flag = object.find( "PERSISTENT" ); flag != object.end() )
		pass.persistent = Truthy( *flag );
	if( auto flag = object.find( "FLOAT" ); flag != object.end() )
		pass.floatTarget = Truthy( *flag );
	for( auto [ key, out ] : { std::pair< const char*, std::string* >{ "WIDTH", &pass.width }, { "HEIGHT", &pass.height } } )
	{
		auto found = object.find( key );
		if( found == object.end() || found->is_null() )
			continue;
		if( found->is_string() )
			*out = found->get< std::string >();
		else if( found->is_number() )
			*out = found->dump();
		else
			Fail( document, std::string( "a pass " ) + key + " is neither an expression nor a number" );
	}
	return pass;
}

void ReadImported( Document& document, const json& imported )
{
	auto add = [ & ]( const std::string& name, const json& entry ) {
		auto path = entry.is_object() ? entry.find( "PATH" ) : entry.end();
		if( !entry.is_object() || path == entry.end() || !path->is_string() || path->get< std::string >().empty() )
			Fail( document, Where( "imported image", name ) + " has no PATH" );
		if( !IsIdentifier( name ) )
			Fail( document, Where( "imported image", name ) + ": its name must be a GLSL identifier" );
		document.imported.push_back( { name, path->get< std::string >() } );
	};
	if( imported.is_object() )
		for( auto it = imported.begin(); it != imported.end(); ++it )
			add( it.key(), it.value() );
	else if( imported.is_array() )
		for( const json& entry : imported )
		{
			auto name = entry.is_object() ? entry.find( "NAME" ) : entry.end();
			if( !entry.is_object() || name == entry.end() || !name->is_string() )
				Fail( document, "an IMPORTED entry has no NAME" );
			add( name->get< std::string >(), entry );
		}
	else
		Fail( document, "IMPORTED is neither an object nor an array" );
}

std::string Text( const json& header, const char* key )
{
	auto found = header.find( key );
	return found != header.end() && found->is_string() ? found->get< std::string >() : std::string();
}

void CheckNames( const Document& document )
{
	std::set< std::string > seen;
	auto claim = [ & ]( const std::string& name, const std::string& what ) {
		if( ReservedNames().count( name ) || name.rfind( "gl_", 0 ) == 0 || name.rfind( "isf_", 0 ) == 0 )
			Fail( document, Where( what, name ) + " takes a name the ISF built-ins use" );
		if( !seen.insert( name ).second )
			Fail( document, "the name \"" + name + "\" is used twice (inputs, pass targets and imported images share one set of names)" );
	};
	for( const Input& input : document.inputs )
		claim( input.name, "input" );
	for( const ImportedImage& image : document.imported )
		claim( image.name, "imported image" );
	std::set< std::string > targets;
	for( const Pass& pass : document.passes )
		if( !pass.target.empty() && targets.insert( pass.target ).second )
			claim( pass.target, "pass target" );
}

void InferKind( Document& document )
{
	auto find = [ & ]( const char* name, InputType type ) -> long {
		for( size_t k = 0; k < document.inputs.size(); ++k )
			if( document.inputs[ k ].name == name && document.inputs[ k ].type == type )
				return static_cast< long >( k );
		return -1;
	};
	const long input = find( "inputImage", InputType::Image );
	const long start = find( "startImage", InputType::Image ), end = find( "endImage", InputType::Image );
	const long progress = find( "progress", InputType::Float );
	std::vector< size_t > first;
	if( input >= 0 )
		first = { static_cast< size_t >( input ) };
	else if( start >= 0 && end >= 0 && progress >= 0 )
		first = { static_cast< size_t >( start ), static_cast< size_t >( end ) };
	document.imageInputs = first;
	for( size_t k = 0; k < document.inputs.size(); ++k )
		if( document.inputs[ k ].type == InputType::Image && std::find( first.begin(), first.end(), k ) == first.end() )
			document.imageInputs.push_back( k );
	if( document.imageInputs.size() > kMaxImageInputs )
		Fail( document, std::to_string( document.imageInputs.size() ) + " image inputs; a plug-in made from an ISF file takes at most " +
							std::to_string( kMaxImageInputs ) );
	const size_t count = document.imageInputs.size();
	document.kind = count == 0 ? Kind::Source : count == 1 ? Kind::Effect : Kind::Mixer;
}
}// namespace

const char* TypeName( InputType type )
{
	switch( type )
	{
	case InputType::Event: return "event";
	case InputType::Bool: return "bool";
	case InputType::Long: return "long";
	case InputType::Float: return "float";
	case InputType::Point2D: return "point2D";
	case InputType::Color: return "color";
	case InputType::Image: return "image";
	case InputType::Audio: return "audio";
	case InputType::AudioFFT: return "audioFFT";
	}
	return "?";
}

int LineOf( const std::string& text, size_t offset )
{
	offset = std::min( offset, text.size() );
	return 1 + static_cast< int >( std::count( text.begin(), text.begin() + static_cast< std::ptrdiff_t >( offset ), '\n' ) );
}

Document ParseDocument( const std::string& text, const std::string& fileName )
{
	Document document;
	document.fileName = fileName;
	const size_t open = text.find( "/*" );
	if( open == std::string::npos )
		Fail( document, "no JSON header: an ISF file starts with a /* ... */ comment holding a JSON object" );
	const size_t close = text.find( "*/", open + 2 );
	if( close == std::string::npos )
		Fail( document, "the header comment is never closed with */", LineOf( text, open ) );
	const std::string headerText = text.substr( open + 2, close - open - 2 );
	json header;
	try
	{
		header = json::parse( headerText );
	}
	catch( const json::parse_error& error )
	{
		const size_t at = open + 2 + ( error.byte > 0 ? error.byte - 1 : 0 );
		std::string reason = error.what();
		if( auto colon = reason.find( "parse error" ); colon != std::string::npos )
			reason = reason.substr( colon );
		Fail( document, "malformed JSON header: " + reason, LineOf( text, at ) );
	}
	if( !header.is_object() )
		Fail( document, "the JSON header is not an object", LineOf( text, open ) );

	document.description = Text( header, "DESCRIPTION" );
	document.credit      = Text( header, "CREDIT" );
	document.vsn         = Text( header, "VSN" );
	document.version1    = header.find( "ISFVSN" ) == header.end();
	if( auto categories = header.find( "CATEGORIES" ); categories != header.end() && categories->is_array() )
		for( const json& category : *categories )
			if( category.is_string() )
				document.categories.push_back( category.get< std::string >() );
	if( auto inputs = header.find( "INPUTS" ); inputs != header.end() && !inputs->is_null() )
	{
		if( !inputs->is_array() )
			Fail( document, "INPUTS is not an array" );
		for( const json& entry : *inputs )
			document.inputs.push_back( ReadInput( document, entry ) );
	}
	if( auto passes = header.find( "PASSES" ); passes != header.end() && !passes->is_null() )
	{
		if( !passes->is_array() )
			Fail( document, "PASSES is not an array" );
		for( const json& entry : *passes )
			document.passes.push_back( ReadPass( document, entry ) );
	}
	if( document.passes.empty() )
		document.passes.push_back( Pass{} );
	if( auto imported = header.find( "IMPORTED" ); imported != header.end() && !imported->is_null() )
		ReadImported( document, *imported );
	// Version 1: persistent buffers listed apart from the passes.
	if( auto persistent = header.find( "PERSISTENT_BUFFERS" ); persistent != header.end() )
	{
		std::vector< std::string > names;
		if( persistent->is_array() )
		{
			for( const json& name : *persistent )
				if( name.is_string() )
					names.push_back( name.get< std::string >() );
		}
		else if( persistent->is_object() )
			for( auto it = persistent->begin(); it != persistent->end(); ++it )
				names.push_back( it.key() );
		for( Pass& pass : document.passes )
			if( std::find( names.begin(), names.end(), pass.target ) != names.end() )
			{
				pass.persistent = true;
				if( persistent->is_object() )
				{
					const json& entry = ( *persistent )[ pass.target ];
					if( entry.is_object() )
					{
						Pass extra = ReadPass( document, entry );
						pass.floatTarget = pass.floatTarget || extra.floatTarget;
						if( pass.width.empty() )
							pass.width = extra.width;
						if( pass.height.empty() )
							pass.height = extra.height;
					}
				}
			}
	}
	CheckNames( document );
	InferKind( document );
	document.body     = text.substr( close + 2 );
	document.bodyLine = LineOf( text, close + 2 );
	return document;
}
}// namespace isf
