// Wall-clock conversion: local time, the hour-only offset, 12/24-hour and
// smooth/ticking formulas, with the time zone pinned.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "ClockTime.h"

namespace
{
using clocktime::BrokenDownTime;
using clocktime::ToFractions;

class ClockTime : public ::testing::Test
{
protected:
	void SetUp() override { PinZone( "UTC0" ); }
	void TearDown() override { PinZone( "UTC0" ); }
	static void PinZone( const char* zone )
	{
		setenv( "TZ", zone, 1 );
		tzset();
	}
};

// Seconds since the epoch of a UTC day time on 2026-03-14.
int64_t Utc( int hour, int minute, int second )
{
	return 1773446400LL + hour * 3600LL + minute * 60LL + second;
}

BrokenDownTime Local( int h, int m, int s, int ms = 0 )
{
	return BrokenDownTime{ h, m, s, ms };
}
}// namespace

TEST_F( ClockTime, LocalFieldsFromTheEpoch )
{
	const auto t = clocktime::ToLocalTime( Utc( 13, 30, 5 ), 250999 );
	EXPECT_EQ( t.hour, 13 );
	EXPECT_EQ( t.minute, 30 );
	EXPECT_EQ( t.second, 5 );
	EXPECT_EQ( t.millisecond, 250 );// truncated, not rounded
}

TEST_F( ClockTime, FollowsTheZone )
{
	// Half-hour zone: minutes are local too.
	PinZone( "XST-5:30" );
	const auto t = clocktime::ToLocalTime( Utc( 23, 45, 0 ), 0 );
	EXPECT_EQ( t.hour, 5 );
	EXPECT_EQ( t.minute, 15 );
	PinZone( "YST8" );
	EXPECT_EQ( clocktime::ToLocalTime( Utc( 3, 0, 0 ), 0 ).hour, 19 );
}

TEST_F( ClockTime, UnconvertibleInstantStillGivesATime )
{
	// Far beyond any representable year both conversions fail: midnight,
	// with the milliseconds kept.
	const auto t = clocktime::ToLocalTime( INT64_MAX / 2, 123456 );
	EXPECT_EQ( t.hour, 0 );
	EXPECT_EQ( t.minute, 0 );
	EXPECT_EQ( t.second, 0 );
	EXPECT_EQ( t.millisecond, 123 );
}

TEST_F( ClockTime, FallsBackToUtcWhenOnlyTheLocalConversionFails )
{
	// The last second gmtime can express; a zone east of UTC pushes the
	// local date past the largest year, so only the UTC fields exist.
	struct tm last{};
	last.tm_year = INT32_MAX;
	last.tm_mon  = 11;
	last.tm_mday = 31;
	last.tm_hour = 23;
	last.tm_min  = 59;
	last.tm_sec  = 59;
	const time_t edge = timegm( &last );
	if( edge == static_cast< time_t >( -1 ) )
		GTEST_SKIP() << "timegm cannot express the largest year here";
	PinZone( "EAST-10" );
	struct tm probe{};
	ASSERT_EQ( localtime_r( &edge, &probe ), nullptr );
	const auto t = clocktime::ToLocalTime( edge, 0 );
	EXPECT_EQ( t.hour, 23 );
	EXPECT_EQ( t.minute, 59 );
	EXPECT_EQ( t.second, 59 );
}

TEST_F( ClockTime, NegativeMicrosecondsStayInRange )
{
	EXPECT_EQ( clocktime::ToLocalTime( Utc( 1, 0, 0 ), -1500 ).millisecond, 999 );
	EXPECT_EQ( clocktime::ToLocalTime( Utc( 1, 0, 0 ), 2345000 ).millisecond, 345 );
}

TEST_F( ClockTime, HourFormulas )
{
	// 13:30:00, offset 0: 12-hour forms send 1.5 / 12, 24-hour 13.5 / 24.
	EXPECT_FLOAT_EQ( ToFractions( Local( 13, 30, 0 ), 0.0f, false, false ).hours, 0.125f );
	EXPECT_FLOAT_EQ( ToFractions( Local( 13, 30, 0 ), 0.0f, false, true ).hours, 0.125f );
	EXPECT_FLOAT_EQ( ToFractions( Local( 13, 30, 0 ), 0.0f, true, false ).hours, 0.5625f );
	// Offset moves the hour only, wrapping through 24.
	EXPECT_FLOAT_EQ( ToFractions( Local( 3, 0, 0 ), -12.0f, true, false ).hours, 0.625f );
	EXPECT_FLOAT_EQ( ToFractions( Local( 3, 0, 0 ), -12.0f, false, false ).hours, 0.25f );
	EXPECT_FLOAT_EQ( ToFractions( Local( 20, 0, 0 ), 14.0f, true, false ).hours, 10.0f / 24.0f );
	// Midnight and noon both read 0 on a 12-hour face.
	EXPECT_EQ( ToFractions( Local( 0, 0, 0 ), 0.0f, false, true ).hours, 0.0f );
	EXPECT_EQ( ToFractions( Local( 12, 0, 0 ), 0.0f, false, true ).hours, 0.0f );
	// Seconds never move the hour.
	EXPECT_EQ( ToFractions( Local( 7, 0, 59, 999 ), 0.0f, false, true ).hours, 7.0f / 12.0f );
}

TEST_F( ClockTime, FractionalOffsets )
{
	// The 24-hour formula keeps the fraction; the 12-hour one truncates it.
	const float h = std::fmod( 24.0f + ( 10.0f + 1.5f ), 24.0f );
	EXPECT_EQ( ToFractions( Local( 10, 0, 0 ), 1.5f, true, false ).hours, ( h + 0.0f / 60.0f ) / 24.0f );
	EXPECT_EQ( ToFractions( Local( 10, 0, 0 ), 1.5f, false, false ).hours, 11.0f / 12.0f );
}

TEST_F( ClockTime, OffsetsBeyondADayStillGiveADayTime )
{
	// fmod of a negative sum would leave a negative hour; it wraps instead.
	for( float offset : { -25.0f, -100.0f, -1000.5f, 100.0f, 1.0e9f, -1.0e9f } )
		for( bool h24 : { false, true } )
		{
			const float hours = ToFractions( Local( 0, 30, 0 ), offset, h24, false ).hours;
			EXPECT_GE( hours, 0.0f ) << offset;
			EXPECT_LE( hours, 1.0f ) << offset;
		}
	// -100 h from 00:30 is 20:30 the day before.
	EXPECT_FLOAT_EQ( ToFractions( Local( 0, 30, 0 ), -100.0f, true, false ).hours, 20.5f / 24.0f );
}

TEST_F( ClockTime, SmoothAndTickingMinutesAndSeconds )
{
	const auto smooth = ToFractions( Local( 10, 15, 30, 250 ), 0.0f, false, true );
	EXPECT_EQ( smooth.minutes, ( 15.0f + 30.0f / 60.0f ) / 60.0f );
	EXPECT_EQ( smooth.seconds, ( 30.0f + 250.0f / 1000.0f ) / 60.0f );
	EXPECT_NEAR( smooth.minutes, 0.25833333, 1e-7 );
	EXPECT_NEAR( smooth.seconds, 0.50416666, 1e-7 );
	const auto ticking = ToFractions( Local( 10, 15, 30, 250 ), 0.0f, false, false );
	EXPECT_EQ( ticking.minutes, 0.25f );
	EXPECT_EQ( ticking.seconds, 0.5f );
	// Hours are identical in both analog forms.
	EXPECT_EQ( smooth.hours, ticking.hours );
	EXPECT_EQ( smooth.hours, ( 10.0f + 15.0f / 60.0f ) / 12.0f );
}

TEST_F( ClockTime, WholeHoursAndMinutesSurviveTruncation )
{
	// A face turns these back into integers by truncating; single-precision
	// values of whole hours and minutes must not drop by one.
	for( int h = 0; h < 24; ++h )
	{
		const auto f24 = ToFractions( Local( h, 0, 0 ), 0.0f, true, false );
		EXPECT_EQ( static_cast< int >( f24.hours * 24.0f ), h );
		const auto f12 = ToFractions( Local( h, 0, 0 ), 0.0f, false, false );
		EXPECT_EQ( static_cast< int >( f12.hours * 12.0f ), h % 12 );
	}
	for( int m = 0; m < 60; ++m )
	{
		const auto f = ToFractions( Local( 1, m, m ), 0.0f, false, false );
		EXPECT_EQ( static_cast< int >( f.minutes * 60.0f ), m );
		EXPECT_EQ( static_cast< int >( f.seconds * 60.0f ), m );
	}
}
