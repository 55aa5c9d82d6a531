// The mapping between frei0r values and the plug-in's, at its edges.
#include <ParameterMap.h>

#include <frei0r.h>
#include <ffgl/FFGL.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace ffglfrei0r;

namespace
{
MappedParameter Map( uint32_t type, float minimum, float maximum, std::vector< float > elements = {} )
{
	plughost::ParameterDescription description;
	description.name    = "p";
	description.type    = type;
	description.minimum = minimum;
	description.maximum = maximum;
	for( float value : elements )
		description.elements.push_back( { "e", value } );
	return MapParameter( description );
}
}// namespace

TEST( ParameterMap, NumbersMapLinearlyOntoThePluginsRangeAndBackClamped )
{
	const MappedParameter offset = Map( FF_TYPE_INTEGER, -12.0f, 14.0f );
	EXPECT_EQ( offset.frei0rType, F0R_PARAM_DOUBLE );
	EXPECT_EQ( ToPlugin( offset, 0.0 ), -12.0f );
	EXPECT_EQ( ToPlugin( offset, 1.0 ), 14.0f );
	EXPECT_EQ( ToPlugin( offset, 0.5 ), 1.0f );
	// Integers arrive whole, standard parameters as mapped.
	EXPECT_EQ( ToPlugin( offset, 0.52 ), 2.0f );
	EXPECT_EQ( ToPlugin( Map( FF_TYPE_INTEGER, 1.0f, 16.0f ), 0.466667 ), 8.0f );
	EXPECT_FLOAT_EQ( ToPlugin( Map( FF_TYPE_STANDARD, -12.0f, 14.0f ), 0.52 ), 1.52f );
	EXPECT_EQ( ToPlugin( offset, 7.0 ), 14.0f );
	EXPECT_EQ( ToPlugin( offset, -1.0 ), -12.0f );
	EXPECT_EQ( ToPlugin( offset, std::nan( "" ) ), -12.0f );
	EXPECT_DOUBLE_EQ( FromPlugin( offset, 1.0f ), 0.5 );
	EXPECT_DOUBLE_EQ( FromPlugin( offset, 100.0f ), 1.0 );
	EXPECT_DOUBLE_EQ( FromPlugin( offset, NAN ), 0.0 );
	EXPECT_EQ( ToPlugin( Map( FF_TYPE_STANDARD, 0.0f, 1.0f ), 0.5 ), 0.5f );
	// A range of one value cannot be divided by.
	EXPECT_DOUBLE_EQ( FromPlugin( Map( FF_TYPE_STANDARD, 2.0f, 2.0f ), 2.0f ), 0.0 );
}

TEST( ParameterMap, OptionsTakeTheNearestOfIndexOverCountLessOne )
{
	const MappedParameter option = Map( FF_TYPE_OPTION, 0.0f, 1.0f, { 10.0f, 20.0f, 30.0f, 40.0f } );
	EXPECT_EQ( option.frei0rType, F0R_PARAM_DOUBLE );
	EXPECT_EQ( ToPlugin( option, 0.0 ), 10.0f );
	EXPECT_EQ( ToPlugin( option, 0.16 ), 10.0f );
	EXPECT_EQ( ToPlugin( option, 0.17 ), 20.0f );
	EXPECT_EQ( ToPlugin( option, 0.6667 ), 30.0f );
	EXPECT_EQ( ToPlugin( option, 1.0 ), 40.0f );
	EXPECT_EQ( ToPlugin( option, 1e300 ), 40.0f );
	EXPECT_DOUBLE_EQ( FromPlugin( option, 30.0f ), 2.0 / 3.0 );
	EXPECT_DOUBLE_EQ( FromPlugin( option, 26.0f ), 2.0 / 3.0 );
	const MappedParameter single = Map( FF_TYPE_OPTION, 0.0f, 1.0f, { 5.0f } );
	EXPECT_EQ( ToPlugin( single, 0.9 ), 5.0f );
	EXPECT_DOUBLE_EQ( FromPlugin( single, 5.0f ), 0.0 );
}

TEST( ParameterMap, SwitchesTextsAndBuffersGetTheirFrei0rTypes )
{
	EXPECT_EQ( Map( FF_TYPE_BOOLEAN, 0, 1 ).frei0rType, F0R_PARAM_BOOL );
	EXPECT_EQ( Map( FF_TYPE_EVENT, 0, 1 ).frei0rType, F0R_PARAM_BOOL );
	EXPECT_EQ( ToPlugin( Map( FF_TYPE_BOOLEAN, 0, 1 ), 0.49 ), 0.0f );
	EXPECT_EQ( ToPlugin( Map( FF_TYPE_BOOLEAN, 0, 1 ), 0.5 ), 1.0f );
	EXPECT_EQ( Map( FF_TYPE_TEXT, 0, 1 ).frei0rType, F0R_PARAM_STRING );
	EXPECT_EQ( Map( FF_TYPE_FILE, 0, 1 ).frei0rType, F0R_PARAM_STRING );
	const MappedParameter buffer = Map( FF_TYPE_BUFFER, 0, 1 );
	EXPECT_EQ( buffer.frei0rType, F0R_PARAM_DOUBLE );
	EXPECT_EQ( buffer.kind, ParameterKind::Unused );
	for( uint32_t type : { FF_TYPE_RED, FF_TYPE_HUE, FF_TYPE_ALPHA, FF_TYPE_STANDARD, FF_TYPE_INTEGER } )
		EXPECT_EQ( Map( type, 0, 1 ).kind, ParameterKind::Number ) << type;
}
