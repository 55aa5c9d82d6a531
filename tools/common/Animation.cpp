#include "Animation.h"

#include <ffgl/FFGL.h>

#include <cmath>
#include <optional>

namespace plughost::cli
{
namespace
{
const ParameterDescription* Described( const std::vector< ParameterDescription >& parameters, uint32_t index )
{
	for( const auto& parameter : parameters )
		if( parameter.index == index )
			return &parameter;
	return nullptr;
}

// Both ends resolved as --set would, or nullopt when `from`/`to` is not a
// valid pair for this parameter.
std::optional< std::pair< ResolvedSetting, ResolvedSetting > > TrySplit( const std::vector< ParameterDescription >& parameters,
																		 const std::string& name, const std::string& from,
																		 const std::string& to, std::string& error )
{
	try
	{
		auto ends = ResolveSettings( parameters, { { name, from }, { name, to } } );
		return std::make_pair( ends[ 0 ], ends[ 1 ] );
	}
	catch( const UsageError& failure )
	{
		if( error.empty() )
			error = failure.what();
		return std::nullopt;
	}
}
}// namespace

float ResolvedAnimation::At( uint32_t k, uint32_t frames ) const
{
	const double t     = frames > 1 ? static_cast< double >( k ) / ( frames - 1 ) : 0.0;
	const double value = from + ( static_cast< double >( to ) - from ) * t;
	if( steps.empty() )
		return static_cast< float >( whole ? std::round( value ) : value );
	float nearest = steps.front();
	for( float step : steps )
		if( std::fabs( step - value ) < std::fabs( nearest - value ) )
			nearest = step;
	return nearest;
}

std::vector< ResolvedAnimation > ResolveAnimations( const std::vector< ParameterDescription >& parameters,
													const std::vector< std::string >& texts )
{
	std::vector< ResolvedAnimation > animations;
	for( const std::string& text : texts )
	{
		const std::size_t equals = text.find( '=' );
		if( equals == std::string::npos || equals == 0 || text.find( ':', equals ) == std::string::npos )
			throw UsageError( "--animate expects NAME=FROM:TO, got \"" + text + "\"" );
		const std::string name = text.substr( 0, equals ), range = text.substr( equals + 1 );
		// Element names may hold colons: take the first split whose two ends
		// both resolve.
		std::string error;
		std::optional< std::pair< ResolvedSetting, ResolvedSetting > > ends;
		for( std::size_t colon = range.find( ':' ); colon != std::string::npos && !ends; colon = range.find( ':', colon + 1 ) )
			ends = TrySplit( parameters, name, range.substr( 0, colon ), range.substr( colon + 1 ), error );
		if( !ends )
			throw UsageError( "--animate " + text + ": " + error );
		if( ends->first.isText )
			throw UsageError( "--animate: \"" + ends->first.name + "\" is a text parameter and cannot be animated" );

		ResolvedAnimation animation;
		animation.index = ends->first.index;
		animation.name  = ends->first.name;
		animation.from  = ends->first.number;
		animation.to    = ends->second.number;
		for( const ResolvedSetting* end : { &ends->first, &ends->second } )
			if( !end->warning.empty() )
				animation.warnings.push_back( end->warning );
		const ParameterDescription* parameter = Described( parameters, animation.index );
		if( parameter && parameter->type == FF_TYPE_OPTION )
			for( std::size_t e = 0; e < parameter->elements.size(); ++e )
				animation.steps.push_back( parameter->elements[ e ].value.value_or( static_cast< float >( e ) ) );
		else if( parameter && ( parameter->type == FF_TYPE_BOOLEAN || parameter->type == FF_TYPE_EVENT ) )
			animation.steps = { 0.0f, 1.0f };
		animation.whole = parameter && parameter->type == FF_TYPE_INTEGER;
		animations.push_back( animation );
	}
	return animations;
}
}// namespace plughost::cli
