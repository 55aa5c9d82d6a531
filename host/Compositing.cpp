#include "Compositing.h"

namespace plughost
{
Rgba BackgroundAt( const Background& background, uint32_t x, uint32_t y )
{
	if( background.kind == Background::Kind::Solid )
		return background.colour;
	const uint8_t grey = ( ( x / kCheckerCell ) + ( y / kCheckerCell ) ) % 2 == 0 ? kCheckerLight : kCheckerDark;
	return { grey, grey, grey, 255 };
}

void CompositeOver( Image& frame, const Background& background )
{
	for( uint32_t y = 0; y < frame.height; ++y )
		for( uint32_t x = 0; x < frame.width; ++x )
		{
			uint8_t* p          = frame.At( x, y );
			const unsigned a    = p[ 3 ];
			const Rgba under    = BackgroundAt( background, x, y );
			const uint8_t bg[3] = { under.r, under.g, under.b };
			for( int c = 0; c < 3; ++c )
				p[ c ] = static_cast< uint8_t >( ( p[ c ] * a + bg[ c ] * ( 255u - a ) + 127u ) / 255u );
			p[ 3 ] = 255;
		}
}
}// namespace plughost
