// Parameter objects: factories, construction order and value rules.
#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <ffglqs/FFGLParam.h>

using namespace ffglqs;

namespace
{
ParamOption::Options ThreeOptions()
{
	return { { "A", 10.0f }, { "B", 20.0f }, { "C", 30.0f } };
}
}// namespace

TEST( Param, FactoriesGiveNameTypeAndValue )
{
	auto empty = Param::Create();
	EXPECT_EQ( empty->GetName(), "" );
	EXPECT_EQ( empty->GetType(), 10u );
	EXPECT_EQ( empty->GetValue(), 0.0f );

	auto named = Param::Create( "level" );
	EXPECT_EQ( named->GetName(), "level" );
	EXPECT_EQ( named->GetType(), 10u );
	EXPECT_EQ( named->GetValue(), 0.0f );

	EXPECT_EQ( Param::Create( "level", 0.75f )->GetValue(), 0.75f );

	auto typed = Param::Create( "red", 2u, 0.5f );
	EXPECT_EQ( typed->GetType(), 2u );
	EXPECT_EQ( typed->GetValue(), 0.5f );
}

TEST( Param, SetValueStoresUnchanged )
{
	auto param = Param::Create( "x" );
	param->SetValue( 7.5f );
	EXPECT_EQ( param->GetValue(), 7.5f );
	param->SetValue( -3.0f );
	EXPECT_EQ( param->GetValue(), -3.0f );
}

TEST( Param, BoolEventAndTrigger )
{
	EXPECT_EQ( ParamBool::Create( "b" )->GetValue(), 0.0f );
	EXPECT_EQ( ParamBool::Create( "b" )->GetType(), 0u );
	EXPECT_EQ( ParamBool::Create( "b", true )->GetValue(), 1.0f );
	EXPECT_EQ( ParamBool::Create( "b", false )->GetValue(), 0.0f );

	auto event = ParamEvent::Create( "e" );
	EXPECT_EQ( event->GetType(), 1u );
	EXPECT_EQ( event->GetValue(), 0.0f );

	auto trigger = ParamTrigger::Create( "t" );
	EXPECT_EQ( trigger->GetType(), 1u );
	trigger->SetValue( 0.6f );
	trigger->Consume();
	EXPECT_EQ( trigger->GetValue(), 0.0f );
	trigger->SetValue( -4.0f );
	trigger->Consume();
	EXPECT_EQ( trigger->GetValue(), 0.0f );
}

TEST( Param, SpectrumBuffers )
{
	auto fft = ParamFFT::Create( "spectrum" );
	EXPECT_EQ( fft->GetType(), 12u );
	EXPECT_EQ( fft->GetValue(), 0.0f );
	EXPECT_EQ( fft->index, 0u );
	ASSERT_EQ( fft->fftData.size(), 2048u );
	for( float bin : fft->fftData )
		ASSERT_EQ( bin, 0.0f );
	EXPECT_EQ( ParamFFT::Create( "small", 16 )->fftData.size(), 16u );
}

TEST( Param, RangeAndInteger )
{
	auto range = ParamRange::Create( "r", 5.0f, { 0.0f, 10.0f } );
	EXPECT_EQ( range->GetType(), 10u );
	EXPECT_EQ( range->GetValue(), 5.0f );
	EXPECT_FLOAT_EQ( range->GetNormalizedValue(), 0.5f );
	EXPECT_EQ( range->GetRange().min, 0.0f );
	EXPECT_EQ( range->GetRange().max, 10.0f );

	auto outside = ParamRange::Create( "r", 15.0f, { 0.0f, 10.0f } );
	EXPECT_EQ( outside->GetValue(), 15.0f );
	EXPECT_EQ( outside->GetNormalizedValue(), 1.0f );
	outside->SetValue( -2.0f );
	EXPECT_EQ( outside->GetNormalizedValue(), 0.0f );

	// A reversed range maps linearly too: its minimum end gives 0.
	EXPECT_FLOAT_EQ( ParamRange::Create( "r", 2.0f, { 10.0f, 0.0f } )->GetNormalizedValue(), 0.8f );
	EXPECT_EQ( ParamRange::Create( "r", 12.0f, { 10.0f, 0.0f } )->GetNormalizedValue(), 0.0f );

	auto integer = ParamRange::CreateInteger( "i", 3, { 0.0f, 8.0f } );
	EXPECT_EQ( integer->GetType(), 13u );
	EXPECT_EQ( integer->GetValue(), 3.0f );
}

TEST( Param, Text )
{
	auto text = ParamText::create( "label" );
	EXPECT_EQ( text->GetType(), 100u );
	EXPECT_EQ( text->GetValue(), 0.0f );
	EXPECT_EQ( text->text, "" );
	EXPECT_EQ( ParamText::create( "label", "hello" )->text, "hello" );
}

TEST( ParamOption, SelectsByTruncatedIndexAndKeepsValue )
{
	auto option = ParamOption::Create( "o", ThreeOptions() );
	EXPECT_EQ( option->GetType(), 11u );
	EXPECT_EQ( option->GetValue(), 0.0f );
	EXPECT_TRUE( option->IsCurrentOption( "A" ) );
	EXPECT_EQ( option->GetRealValue(), 10.0f );

	option->SetValue( 2.0f );
	EXPECT_EQ( option->GetValue(), 2.0f );
	EXPECT_EQ( option->GetRealValue(), 30.0f );
	EXPECT_TRUE( option->IsCurrentOption( "C" ) );
	EXPECT_FALSE( option->IsCurrentOption( "A" ) );
	EXPECT_FALSE( option->IsCurrentOption( "B" ) );

	option->SetValue( 1.5f );
	EXPECT_EQ( option->GetValue(), 1.5f );
	EXPECT_TRUE( option->IsCurrentOption( "B" ) );

	option->SetValue( 2.999f );
	EXPECT_TRUE( option->IsCurrentOption( "C" ) );

	option->SetValue( -0.5f );
	EXPECT_EQ( option->GetValue(), -0.5f );
	EXPECT_TRUE( option->IsCurrentOption( "A" ) );
}

TEST( ParamOption, DefaultOptionIsSelectedAtConstruction )
{
	auto option = ParamOption::Create( "o", ThreeOptions(), 1 );
	EXPECT_EQ( option->GetValue(), 1.0f );
	EXPECT_TRUE( option->IsCurrentOption( "B" ) );
	EXPECT_EQ( option->GetRealValue(), 20.0f );
}

// Beyond the list the value becomes 0 and the first option is current, so
// value and option never disagree; no input may reach an undefined
// float-to-integer conversion.
TEST( ParamOption, BeyondTheListSelectsTheFirstOption )
{
	const float beyond[] = { 3.0f, 7.0f, -1.0f, -1e30f, 1e30f, std::numeric_limits< float >::quiet_NaN(),
							 std::numeric_limits< float >::infinity(), -std::numeric_limits< float >::infinity() };
	for( float value : beyond )
	{
		auto option = ParamOption::Create( "o", ThreeOptions(), 2 );
		ASSERT_TRUE( option->IsCurrentOption( "C" ) );
		option->SetValue( value );
		EXPECT_EQ( option->GetValue(), 0.0f ) << value;
		EXPECT_TRUE( option->IsCurrentOption( "A" ) ) << value;
		EXPECT_EQ( option->GetRealValue(), 10.0f ) << value;
	}

	auto fromDefault = ParamOption::Create( "o", ThreeOptions(), 9 );
	EXPECT_EQ( fromDefault->GetValue(), 0.0f );
	EXPECT_TRUE( fromDefault->IsCurrentOption( "A" ) );

	auto empty = ParamOption::Create( "o", {} );
	EXPECT_EQ( empty->GetValue(), 0.0f );
	EXPECT_TRUE( empty->IsCurrentOption( "" ) );
	EXPECT_EQ( empty->GetRealValue(), 0.0f );
	empty->SetValue( 0.0f );
	EXPECT_EQ( empty->GetValue(), 0.0f );
}

TEST( Param, SetValueIsVirtual )
{
	std::shared_ptr< Param > base = ParamOption::Create( "o", ThreeOptions() );
	base->SetValue( 5.0f );
	EXPECT_EQ( base->GetValue(), 0.0f );
}
