// Glyph rasteriser and glyph size rule, against the numbers worked out by
// hand and against the test's own rasteriser.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "ClockReference.h"
#include "DigitGlyphs.h"

namespace
{
using clockglyphs::ComputeGlyphSize;

std::vector< uint8_t > Rasterise( int glyph, int width, int height )
{
	std::vector< uint8_t > buffer( static_cast< size_t >( width ) * height, 0 );
	clockglyphs::RasteriseGlyph( { buffer.data(), width, height }, glyph );
	return buffer;
}

int Lit( const std::vector< uint8_t >& buffer )
{
	int n = 0;
	for( uint8_t v : buffer )
		n += v == 255;
	return n;
}

// Lit texels of one row as [first, last]; {-1, -1} when the row is empty.
std::pair< int, int > RowSpan( const std::vector< uint8_t >& buffer, int width, int row, int from = 0, int to = -1 )
{
	if( to < 0 )
		to = width - 1;
	int first = -1, last = -1;
	for( int x = from; x <= to; ++x )
		if( buffer[ static_cast< size_t >( row ) * width + x ] )
		{
			if( first < 0 )
				first = x;
			last = x;
		}
	return { first, last };
}
}// namespace

TEST( GlyphSize, TableOfWidths )
{
	struct Case
	{
		uint32_t viewport;
		int bound, w, h;
	};
	const Case cases[] = {
		{ 0, 384, 65, 131 },     { 0, 512, 65, 131 },     { 640, 512, 145, 291 },  { 1280, 512, 291, 583 },
		{ 1920, 384, 385, 771 }, { 1920, 512, 437, 875 }, { 2246, 512, 513, 1027 }, { 5000, 512, 513, 1027 },
		{ 289, 512, 65, 131 },   { 290, 512, 67, 135 },   { 1281, 512, 293, 587 }, { 1285, 512, 293, 587 },
		{ 1685, 384, 385, 771 }, { 1684, 384, 383, 767 },
	};
	for( const Case& c : cases )
	{
		const auto size = ComputeGlyphSize( c.viewport, c.bound );
		EXPECT_EQ( size.width, c.w ) << "viewport width " << c.viewport << " bound " << c.bound;
		EXPECT_EQ( size.height, c.h ) << "viewport width " << c.viewport << " bound " << c.bound;
	}
}

TEST( GlyphSize, AgreesWithModelAcrossWidths )
{
	for( uint32_t width = 0; width < 6000; ++width )
		for( int bound : { 384, 512 } )
		{
			const auto size     = ComputeGlyphSize( width, bound );
			const auto expected = clockref::GlyphSizeFor( width, bound );
			ASSERT_EQ( size.width, expected[ 0 ] ) << width;
			ASSERT_EQ( size.height, expected[ 1 ] ) << width;
			ASSERT_EQ( size.width % 2, 1 );
		}
}

TEST( GlyphSize, WidestViewportsDoNotOverflow )
{
	// 2 * 0.114 * width passes INT_MAX near 9.4e9 in float terms; every
	// 32-bit width must still give the largest set (the sanitizer build
	// traps an out-of-range conversion).
	for( uint32_t width : { 2246u, 100000u, 1u << 31, 4294967295u, 4294967294u } )
	{
		EXPECT_EQ( ComputeGlyphSize( width, 512 ).width, 513 ) << width;
		EXPECT_EQ( ComputeGlyphSize( width, 384 ).width, 385 ) << width;
		EXPECT_EQ( ComputeGlyphSize( width, 512 ).height, 1027 ) << width;
	}
}

TEST( Glyphs, SegmentTable )
{
	const char* const lit[ 10 ] = { "1111110", "0110000", "1101101", "1111001", "0110011",
		                            "1011011", "1011111", "1110000", "1111111", "1111011" };
	for( int d = 0; d < 10; ++d )
		for( int s = 0; s < 7; ++s )
			EXPECT_EQ( clockglyphs::SegmentLit( d, s ), lit[ d ][ s ] == '1' ) << d << " " << s;
	for( int s = 0; s < 7; ++s )
	{
		EXPECT_FALSE( clockglyphs::SegmentLit( -1, s ) );
		EXPECT_FALSE( clockglyphs::SegmentLit( 10, s ) );
	}
}

TEST( Glyphs, SmallestSetGeometry )
{
	const int w = 65, h = 131;
	const auto eight = Rasterise( 8, w, h );
	// Top bar: 10 rows (0..9), half-length 16 around x 32; the first row is
	// the middle row shortened by 5 texels at each end.
	EXPECT_EQ( RowSpan( eight, w, 0 ), std::make_pair( 21, 43 ) );
	EXPECT_EQ( RowSpan( eight, w, 5 ), std::make_pair( 16, 48 ) );// 33 texels at the middle row
	// Middle bar centred on row 65, bottom bar on row 125.
	EXPECT_EQ( RowSpan( eight, w, 65 ), std::make_pair( 16, 48 ) );
	EXPECT_EQ( RowSpan( eight, w, 125 ), std::make_pair( 16, 48 ) );
	EXPECT_EQ( RowSpan( eight, w, 130 ), std::make_pair( -1, -1 ) );

	// Digit 1 has only the right columns: 11 texels wide around x 52,
	// upper one on rows 10..62, lower one on rows 68..120, each starting with
	// a single texel and ending with three.
	const auto one = Rasterise( 1, w, h );
	EXPECT_EQ( RowSpan( one, w, 10 ), std::make_pair( 52, 52 ) );
	EXPECT_EQ( RowSpan( one, w, 9 ), std::make_pair( -1, -1 ) );
	EXPECT_EQ( RowSpan( one, w, 36 ), std::make_pair( 47, 57 ) );
	EXPECT_EQ( RowSpan( one, w, 62 ), std::make_pair( 51, 53 ) );
	EXPECT_EQ( RowSpan( one, w, 63 ), std::make_pair( -1, -1 ) );
	EXPECT_EQ( RowSpan( one, w, 68 ), std::make_pair( 52, 52 ) );
	EXPECT_EQ( RowSpan( one, w, 94 ), std::make_pair( 47, 57 ) );
	EXPECT_EQ( RowSpan( one, w, 120 ), std::make_pair( 51, 53 ) );
	EXPECT_EQ( RowSpan( one, w, 121 ), std::make_pair( -1, -1 ) );
	// Left columns of the 8 sit around x 12.
	EXPECT_EQ( RowSpan( eight, w, 36, 0, 32 ), std::make_pair( 7, 17 ) );

	// Colon: discs of radius 8 at x 32 on rows 43 and 87.
	const auto colon = Rasterise( 10, w, h );
	EXPECT_EQ( RowSpan( colon, w, 43 ), std::make_pair( 25, 39 ) );
	EXPECT_EQ( RowSpan( colon, w, 87 ), std::make_pair( 25, 39 ) );
	EXPECT_EQ( RowSpan( colon, w, 35 ), std::make_pair( -1, -1 ) );// cy - r: dx^2 < 0 never holds
	EXPECT_EQ( RowSpan( colon, w, 36 ), std::make_pair( 29, 35 ) );

	EXPECT_EQ( Lit( eight ), 2972 );
	EXPECT_EQ( Lit( one ), 1066 );
	EXPECT_EQ( Lit( colon ), 386 );
	for( int d : { 2, 3, 5 } )
		EXPECT_EQ( Lit( Rasterise( d, w, h ) ), 1906 ) << d;
}

TEST( Glyphs, LargerSetsCounts )
{
	for( int d : { 2, 3, 5 } )
	{
		EXPECT_EQ( Lit( Rasterise( d, 385, 771 ) ), 65057 ) << d;
		EXPECT_EQ( Lit( Rasterise( d, 513, 1027 ) ), 116790 ) << d;
	}
	// Largest set: bars 82 rows, 259 long; columns 82 wide, 421 long at x 96
	// and 416; colon radius 64 at x 256 on rows 342 and 684.
	const auto eight = Rasterise( 8, 513, 1027 );
	EXPECT_EQ( RowSpan( eight, 513, 20 ), std::make_pair( 256 - 129 + 21, 256 + 129 - 21 ) );
	const int middleRow = static_cast< int >( 0.5f * 1027.0f );
	EXPECT_EQ( RowSpan( eight, 513, middleRow ), std::make_pair( 256 - 129, 256 + 129 ) );
	const auto one   = Rasterise( 1, 513, 1027 );
	const int upperC = static_cast< int >( 0.2749999761581421f * 1027.0f );
	EXPECT_EQ( RowSpan( one, 513, upperC ), std::make_pair( 416 - 41, 416 + 41 ) );
	const auto colon = Rasterise( 10, 513, 1027 );
	EXPECT_EQ( RowSpan( colon, 513, 342 ), std::make_pair( 256 - 63, 256 + 63 ) );
	EXPECT_EQ( RowSpan( colon, 513, 684 ), std::make_pair( 256 - 63, 256 + 63 ) );
}

TEST( Glyphs, MatchModelAndAreBinary )
{
	const std::pair< int, int > sizes[] = { { 65, 131 }, { 145, 291 }, { 291, 583 }, { 385, 771 },
		                                    { 437, 875 }, { 513, 1027 }, { 100, 40 }, { 7, 9 }, { 1, 1 } };
	for( auto [ w, h ] : sizes )
		for( int g = 0; g < 11; ++g )
		{
			const auto got      = Rasterise( g, w, h );
			const auto expected = clockref::MakeGlyph( g, w, h );
			ASSERT_EQ( got, expected.texels ) << "glyph " << g << " at " << w << "x" << h;
			for( uint8_t v : got )
				ASSERT_TRUE( v == 0 || v == 255 );
		}
}

TEST( Glyphs, NothingWrittenOutsideTheImage )
{
	// Guard bytes around a small image stay untouched.
	const int w = 65, h = 131;
	std::vector< uint8_t > buffer( static_cast< size_t >( w ) * h + 64, 0x5A );
	std::fill( buffer.begin() + 32, buffer.end() - 32, 0 );
	for( int g = 0; g < 11; ++g )
		clockglyphs::RasteriseGlyph( { buffer.data() + 32, w, h }, g );
	for( int i = 0; i < 32; ++i )
	{
		EXPECT_EQ( buffer[ i ], 0x5A );
		EXPECT_EQ( buffer[ buffer.size() - 1 - i ], 0x5A );
	}
}
