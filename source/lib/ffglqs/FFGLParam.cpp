#include "FFGLParam.h"
#include <cmath>
#include <utility>
#include "../ffglex/FFGLUtilities.h"

namespace ffglqs
{
std::shared_ptr< Param > Param::Create()
{
	return std::make_shared< Param >();
}
std::shared_ptr< Param > Param::Create( std::string name )
{
	return std::make_shared< Param >( std::move( name ) );
}
std::shared_ptr< Param > Param::Create( std::string name, float value )
{
	return std::make_shared< Param >( std::move( name ), value );
}
std::shared_ptr< Param > Param::Create( std::string name, uint32_t type, float value )
{
	return std::make_shared< Param >( std::move( name ), type, value );
}

Param::Param() = default;
Param::Param( std::string name ) : name( std::move( name ) )
{
}
Param::Param( std::string name, float value ) : value( value ), name( std::move( name ) )
{
}
Param::Param( std::string name, uint32_t type, float value ) : value( value ), name( std::move( name ) ), type( type )
{
}

void Param::SetValue( float newValue )
{
	value = newValue;
}
float Param::GetValue() const
{
	return value;
}
const std::string& Param::GetName() const
{
	return name;
}
uint32_t Param::GetType() const
{
	return type;
}

std::shared_ptr< ParamBool > ParamBool::Create( std::string name )
{
	return std::make_shared< ParamBool >( std::move( name ), false );
}
std::shared_ptr< ParamBool > ParamBool::Create( std::string name, bool defaultValue )
{
	return std::make_shared< ParamBool >( std::move( name ), defaultValue );
}
ParamBool::ParamBool( std::string name, bool defaultValue ) :
	Param( std::move( name ), FF_TYPE_BOOLEAN, defaultValue ? 1.0f : 0.0f )
{
}

std::shared_ptr< ParamEvent > ParamEvent::Create( std::string name )
{
	return std::make_shared< ParamEvent >( std::move( name ) );
}
ParamEvent::ParamEvent( std::string name ) : Param( std::move( name ), FF_TYPE_EVENT, 0.0f )
{
}

std::shared_ptr< ParamTrigger > ParamTrigger::Create( std::string name )
{
	return std::make_shared< ParamTrigger >( std::move( name ) );
}
ParamTrigger::ParamTrigger( std::string name ) : ParamEvent( std::move( name ) )
{
}
void ParamTrigger::Consume()
{
	value = 0.0f;
}

std::shared_ptr< ParamFFT > ParamFFT::Create( std::string name )
{
	return std::make_shared< ParamFFT >( std::move( name ), DEFAULT_BUFFER_SIZE );
}
std::shared_ptr< ParamFFT > ParamFFT::Create( std::string name, uint64_t bufferSize )
{
	return std::make_shared< ParamFFT >( std::move( name ), bufferSize );
}
ParamFFT::ParamFFT( std::string name, uint64_t bufferSize ) :
	Param( std::move( name ) ),
	fftData( static_cast< size_t >( bufferSize ), 0.0f )
{
	type = FF_TYPE_BUFFER;
}

std::shared_ptr< ParamOption > ParamOption::Create( std::string name, Options options )
{
	return std::make_shared< ParamOption >( std::move( name ), std::move( options ), 0 );
}
std::shared_ptr< ParamOption > ParamOption::Create( std::string name, Options options, int32_t defaultOption )
{
	return std::make_shared< ParamOption >( std::move( name ), std::move( options ), defaultOption );
}
ParamOption::ParamOption( std::string name, Options options, int32_t defaultOption ) :
	Param( std::move( name ), FF_TYPE_OPTION, static_cast< float >( defaultOption ) ),
	options( std::move( options ) )
{
	ParamOption::SetValue( static_cast< float >( defaultOption ) );
}

void ParamOption::SetValue( float newValue )
{
	// Range-check in floating point before converting: a float-to-integer
	// conversion of NaN or of a value outside the target is undefined.
	if( newValue > -1.0f && static_cast< double >( newValue ) < static_cast< double >( options.size() ) )
	{
		size_t index = static_cast< size_t >( std::trunc( std::fmax( newValue, 0.0f ) ) );
		value = newValue;
		currentOption = options[ index ];
		return;
	}
	value = 0.0f;
	if( !options.empty() )
		currentOption = options.front();
}

float ParamOption::GetRealValue() const
{
	return currentOption.value;
}
bool ParamOption::IsCurrentOption( const std::string& optionName ) const
{
	return currentOption.name == optionName;
}

std::shared_ptr< ParamRange > ParamRange::Create( std::string name, float value, Range range )
{
	return std::make_shared< ParamRange >( std::move( name ), value, range );
}
std::shared_ptr< ParamRange > ParamRange::CreateInteger( std::string name, int32_t value, Range range )
{
	auto param = std::make_shared< ParamRange >( std::move( name ), static_cast< float >( value ), range );
	param->SetType( FF_TYPE_INTEGER );
	return param;
}
ParamRange::ParamRange( std::string name, float value, Range range ) :
	Param( std::move( name ), FF_TYPE_STANDARD, 0.0f ),
	range( range )
{
	SetValue( value );
}
ParamRange::Range ParamRange::GetRange() const
{
	return range;
}
float ParamRange::GetNormalizedValue() const
{
	return ffglex::map( value, range.min, range.max, 0.0f, 1.0f );
}

std::shared_ptr< ParamText > ParamText::create( std::string name )
{
	return std::make_shared< ParamText >( std::move( name ), "" );
}
std::shared_ptr< ParamText > ParamText::create( std::string name, std::string text )
{
	return std::make_shared< ParamText >( std::move( name ), std::move( text ) );
}
ParamText::ParamText( std::string name, std::string text ) :
	Param( std::move( name ), FF_TYPE_TEXT, 0.0f ),
	text( std::move( text ) )
{
}

}// namespace ffglqs
