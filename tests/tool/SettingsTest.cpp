#include "TestSupport.h"

#include <common/Animation.h>
#include <common/ParameterSettings.h>

#include <ffgl/FFGL.h>
#include <gtest/gtest.h>

using namespace plughost;
using namespace plughost::cli;

namespace
{
ParameterDescription Parameter( uint32_t index, const char* name, uint32_t type, float minimum = 0, float maximum = 1,
								std::vector< ParameterElement > elements = {} )
{
	return { index, name, type, 0.0f, "", minimum, maximum, 0, std::move( elements ), {}, {}, true, "" };
}

const std::vector< ParameterDescription > kTable = {
	Parameter( 0, "Display Type", FF_TYPE_OPTION, 0, 1, { { "Analog", 0.0f }, { "Analog (Smooth)", 1.0f }, { "Digital 12h", 2.0f }, { "Digital 24h", 3.0f } } ),
	Parameter( 1, "Show Seconds", FF_TYPE_BOOLEAN ), Parameter( 2, "Scale", FF_TYPE_STANDARD ), Parameter( 3, "Timezone Offset", FF_TYPE_INTEGER, -12.0f, 14.0f ),
	Parameter( 4, "Caption", FF_TYPE_TEXT ), Parameter( 5, "Spaced", FF_TYPE_OPTION, 0, 1, { { "Low", 10.0f }, { "High", std::nullopt } } ) };

// Names and element names in any case; an element without a value is sent as
// its index; values outside the range warn but are sent; text goes verbatim.
TEST( Settings, AcceptedValues )
{
	const std::tuple< std::string, std::string, uint32_t, float, bool > cases[] = {// name, value, index, number, warns
		{ "display type", "analog (smooth)", 0, 1, false }, { "Display Type", "2", 0, 2, false }, { "Show Seconds", "OFF", 1, 0, false },
		{ "Show Seconds", "true", 1, 1, false }, { "Scale", "1.5", 2, 1.5f, true }, { "Timezone Offset", "-12", 3, -12, false },
		{ "Timezone Offset", "20", 3, 20, true }, { "Spaced", "0", 5, 10, false }, { "Spaced", "High", 5, 1, false } };
	for( const auto& [ name, value, index, number, warns ] : cases )
	{
		const auto resolved = ResolveSettings( kTable, { { name, value } } );
		ASSERT_EQ( resolved.size(), 1u );
		EXPECT_EQ( std::tuple( resolved[ 0 ].index, resolved[ 0 ].isText, resolved[ 0 ].number, resolved[ 0 ].warning.empty() ),
				   std::tuple( index, false, number, !warns ) ) << name << "=" << value << ": " << resolved[ 0 ].warning;
	}
	const auto text = ResolveSettings( kTable, { { "Caption", " 12:00 = noon " } } );
	EXPECT_EQ( std::tuple( text.at( 0 ).isText, text.at( 0 ).text ), std::tuple( true, " 12:00 = noon " ) );
	EXPECT_EQ( FormatNumber( 0.8f ) + " " + FormatNumber( -12.0f ) + " " + FormatNumber( 0.0f ), "0.8 -12 0" );
}

// Refusals list what is valid; infinities and overflowing numbers are not numbers.
TEST( Settings, RejectedValuesListWhatIsValid )
{
	using Texts = std::vector< std::string >;
	const std::tuple< std::string, Texts, Texts > cases[] = {
		{ "Colour", { "1" }, { "unknown parameter \"Colour\"", "\"Display Type\" (option)", "\"Scale\" (standard)" } },
		{ "Display Type", { "Sundial", "4", "" }, { "not an element", "0 \"Analog\"", "3 \"Digital 24h\"" } },
		{ "Show Seconds", { "yes" }, { "on, off, true, false, 1 or 0" } },
		{ "Scale", { "half", "", "0.5x", " 0.5", "inf", "1e99" }, { "not a number", "from 0 to 1" } }, { "Timezone Offset", { "east" }, { "from -12 to 14" } } };
	for( const auto& [ name, values, mentions ] : cases )
		for( const auto& value : values )
		{
			const std::string message = testsupport::ErrorOf< UsageError >( [ &, name = name ] { ResolveSettings( kTable, { { name, value } } ); } );
			for( const auto& mention : mentions )
				EXPECT_NE( message.find( mention ), std::string::npos ) << name << "=" << value << ": " << message;
		}
}

TEST( Settings, AnimationsMoveLinearlyFromFirstToLastFrame )
{
	const std::tuple< std::string, uint32_t, uint32_t, float > cases[] = {// spec, frame, frames, value
		{ "Scale=0:1", 0, 5, 0.0f }, { "Scale=0:1", 1, 5, 0.25f }, { "Scale=0:1", 4, 5, 1.0f }, { "Scale=1:0.5", 1, 3, 0.75f },
		{ "Scale=0.3:0.9", 0, 1, 0.3f },// one frame: the first value
		{ "Display Type=Analog:Digital 24h", 1, 4, 1.0f }, { "Display Type=Analog:Digital 24h", 2, 4, 2.0f },
		{ "display type=0:digital 12h", 2, 3, 2.0f }, { "Show Seconds=off:on", 1, 4, 0.0f }, { "Show Seconds=off:on", 2, 4, 1.0f },
		{ "Timezone Offset=-12:14", 1, 3, 1.0f }, { "Timezone Offset=0:3", 1, 4, 1.0f } };// whole hours
	for( const auto& [ spec, frame, frames, value ] : cases )
	{
		const auto animations = ResolveAnimations( kTable, { spec } );
		ASSERT_EQ( animations.size(), 1u ) << spec;
		EXPECT_FLOAT_EQ( animations[ 0 ].At( frame, frames ), value ) << spec << " frame " << frame << " of " << frames;
	}
	EXPECT_EQ( ResolveAnimations( kTable, { "Scale=0:2" } )[ 0 ].warnings.size(), 1u );
	for( const auto& [ spec, message ] : { std::pair< std::string, std::string >{ "Scale=0.5", "NAME=FROM:TO" }, { "=0:1", "NAME=FROM:TO" },
										   { "Caption=a:b", "text parameter" }, { "Display Type=Analog:Sundial", "not an element" }, { "Colour=0:1", "unknown parameter" } } )
	{
		const std::string error = testsupport::ErrorOf< UsageError >( [ &, spec = spec ] { ResolveAnimations( kTable, { spec } ); } );
		EXPECT_NE( error.find( message ), std::string::npos ) << spec << ": " << error;
	}
}
}// namespace
