#include <ParameterSettings.h>

#include <ffgl/FFGL.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace plughost;
using namespace plughost::cli;

namespace
{
ParameterDescription Parameter( uint32_t index, const char* name, uint32_t type, float minimum = 0.0f, float maximum = 1.0f )
{
	ParameterDescription description;
	description.index   = index;
	description.name    = name;
	description.type    = type;
	description.minimum = minimum;
	description.maximum = maximum;
	return description;
}

std::vector< ParameterDescription > Table()
{
	auto display     = Parameter( 0, "Display Type", FF_TYPE_OPTION );
	display.elements = { { "Analog", 0.0f }, { "Analog (Smooth)", 1.0f }, { "Digital 12h", 2.0f }, { "Digital 24h", 3.0f } };
	auto spaced      = Parameter( 5, "Spaced", FF_TYPE_OPTION );
	spaced.elements  = { { "Low", 10.0f }, { "High", std::nullopt } };
	return { display,
			 Parameter( 1, "Show Seconds", FF_TYPE_BOOLEAN ),
			 Parameter( 2, "Scale", FF_TYPE_STANDARD ),
			 Parameter( 3, "Timezone Offset", FF_TYPE_INTEGER, -12.0f, 14.0f ),
			 Parameter( 4, "Caption", FF_TYPE_TEXT ),
			 spaced,
			 Parameter( 6, "Path", FF_TYPE_FILE ) };
}

struct Good
{
	std::string name, value;
	uint32_t index;
	float number;
	bool warns;
};

TEST( Settings, AcceptedValues )
{
	const std::vector< Good > cases = {
		{ "Display Type", "Digital 24h", 0, 3.0f, false },
		{ "Display Type", "analog (smooth)", 0, 1.0f, false },
		{ "Display Type", "2", 0, 2.0f, false },
		{ "display type", "Analog", 0, 0.0f, false },
		{ "Show Seconds", "on", 1, 1.0f, false },
		{ "Show Seconds", "OFF", 1, 0.0f, false },
		{ "Show Seconds", "true", 1, 1.0f, false },
		{ "Show Seconds", "false", 1, 0.0f, false },
		{ "Show Seconds", "1", 1, 1.0f, false },
		{ "Show Seconds", "0", 1, 0.0f, false },
		{ "Scale", "0.25", 2, 0.25f, false },
		{ "Scale", "1", 2, 1.0f, false },
		{ "Scale", "1.5", 2, 1.5f, true },
		{ "Scale", "-0.1", 2, -0.1f, true },
		{ "Timezone Offset", "-12", 3, -12.0f, false },
		{ "Timezone Offset", "14", 3, 14.0f, false },
		{ "Timezone Offset", "20", 3, 20.0f, true },
		{ "Spaced", "Low", 5, 10.0f, false },
		{ "Spaced", "High", 5, 1.0f, false },// no value reported: its index
		{ "Spaced", "0", 5, 10.0f, false },
	};
	const auto table = Table();
	for( const auto& c : cases )
	{
		SCOPED_TRACE( c.name + "=" + c.value );
		const auto resolved = ResolveSettings( table, { { c.name, c.value } } );
		ASSERT_EQ( resolved.size(), 1u );
		EXPECT_EQ( resolved[ 0 ].index, c.index );
		EXPECT_FALSE( resolved[ 0 ].isText );
		EXPECT_FLOAT_EQ( resolved[ 0 ].number, c.number );
		EXPECT_EQ( !resolved[ 0 ].warning.empty(), c.warns ) << resolved[ 0 ].warning;
	}
}

TEST( Settings, TextParametersTakeTextAsGiven )
{
	const auto resolved = ResolveSettings( Table(), { { "Caption", " 12:00 = noon " }, { "Path", "/tmp/a b.png" } } );
	ASSERT_EQ( resolved.size(), 2u );
	EXPECT_TRUE( resolved[ 0 ].isText );
	EXPECT_EQ( resolved[ 0 ].text, " 12:00 = noon " );
	EXPECT_EQ( resolved[ 1 ].index, 6u );
	EXPECT_EQ( resolved[ 1 ].text, "/tmp/a b.png" );
}

struct Bad
{
	std::string name, value;
	std::vector< std::string > mentions;
};

TEST( Settings, RejectedValuesListWhatIsValid )
{
	const std::vector< Bad > cases = {
		{ "Colour", "1", { "unknown parameter \"Colour\"", "\"Display Type\" (option)", "\"Scale\" (standard)" } },
		{ "Display Type", "Sundial", { "not an element", "0 \"Analog\"", "3 \"Digital 24h\"" } },
		{ "Display Type", "4", { "not an element" } },
		{ "Display Type", "", { "not an element" } },
		{ "Show Seconds", "yes", { "on, off, true, false, 1 or 0" } },
		{ "Scale", "half", { "not a number", "from 0 to 1" } },
		{ "Scale", "", { "not a number" } },
		{ "Scale", "0.5x", { "not a number" } },
		{ "Scale", " 0.5", { "not a number" } },
		{ "Scale", "inf", { "not a number" } },
		{ "Scale", "1e99", { "not a number" } },
		{ "Timezone Offset", "east", { "from -12 to 14" } },
	};
	const auto table = Table();
	for( const auto& c : cases )
	{
		SCOPED_TRACE( c.name + "=" + c.value );
		try
		{
			ResolveSettings( table, { { c.name, c.value } } );
			ADD_FAILURE() << "should be refused";
		}
		catch( const UsageError& error )
		{
			for( const auto& mention : c.mentions )
				EXPECT_NE( std::string( error.what() ).find( mention ), std::string::npos ) << error.what();
		}
	}
}

TEST( Settings, NumberFormatting )
{
	EXPECT_EQ( FormatNumber( 0.8f ), "0.8" );
	EXPECT_EQ( FormatNumber( -12.0f ), "-12" );
	EXPECT_EQ( FormatNumber( 0.5f ), "0.5" );
	EXPECT_EQ( FormatNumber( 0.0f ), "0" );
}
}// namespace
