#include "Y4mWriter.h"

#include "Error.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <numeric>

namespace plughost
{
std::pair< uint32_t, uint32_t > FrameRateFraction( double fps )
{
	if( !( fps > 0.0 ) || fps > 1e6 )
		return { 30, 1 };
	// Never 0: a rate below 1/1000 reads as the slowest the header can say.
	const uint32_t numerator = static_cast< uint32_t >( std::max( 1ll, std::llround( fps * 1000.0 ) ) );
	const uint32_t divisor   = std::gcd( numerator, 1000u );
	return { numerator / divisor, 1000u / divisor };
}

std::string Y4mHeader( const Y4mFormat& format )
{
	const auto [ numerator, denominator ] = FrameRateFraction( format.fps );
	return "YUV4MPEG2 W" + std::to_string( format.width ) + " H" + std::to_string( format.height ) + " F" +
		   std::to_string( numerator ) + ":" + std::to_string( denominator ) + " Ip A1:1 " +
		   ( format.chroma == ChromaFormat::Yuv420 ? "C420jpeg" : "C444" ) + " XCOLORRANGE=" +
		   ( format.range == VideoRange::Full ? "FULL" : "LIMITED" ) + "\n";
}

Y4mWriter::Y4mWriter( std::FILE* output, const Y4mFormat& streamFormat ) : file( output ), format( streamFormat )
{
	CheckImageSize( format.width, format.height );
}

void Y4mWriter::Write( const void* data, std::size_t size )
{
	if( std::fwrite( data, 1, size, file ) != size )
		throw Error( std::string( "cannot write the video stream: " ) + std::strerror( errno ) );
}

void Y4mWriter::WriteFrame( const Image& frame )
{
	if( frame.width != format.width || frame.height != format.height )
		throw Error( "video frame of " + std::to_string( frame.width ) + "x" + std::to_string( frame.height ) +
					 " in a stream of " + std::to_string( format.width ) + "x" + std::to_string( format.height ) );
	const uint32_t w = format.width, h = format.height;
	const bool half  = format.chroma == ChromaFormat::Yuv420;
	const uint32_t cw = half ? ( w + 1 ) / 2 : w, ch = half ? ( h + 1 ) / 2 : h;
	const std::size_t pixels = static_cast< std::size_t >( w ) * h;
	luma.resize( pixels );
	pb.resize( pixels );
	pr.resize( pixels );
	const uint8_t* p = frame.pixels.data();
	for( std::size_t i = 0; i < pixels; ++i, p += 4 )
	{
		const YPbPr v = ToYPbPr( p[ 0 ], p[ 1 ], p[ 2 ] );
		luma[ i ]     = QuantiseLuma( v.y, format.range );
		pb[ i ]       = v.pb;
		pr[ i ]       = v.pr;
	}
	// Each chroma sample is the mean of the pixels it covers; an odd last
	// row or column covers only the pixels that exist.
	cb.resize( static_cast< std::size_t >( cw ) * ch );
	cr.resize( cb.size() );
	const uint32_t step = half ? 2 : 1;
	for( uint32_t cy = 0; cy < ch; ++cy )
		for( uint32_t cx = 0; cx < cw; ++cx )
		{
			float sumB = 0.0f, sumR = 0.0f;
			int count  = 0;
			for( uint32_t y = cy * step; y < std::min( h, cy * step + step ); ++y )
				for( uint32_t x = cx * step; x < std::min( w, cx * step + step ); ++x )
				{
					sumB += pb[ static_cast< std::size_t >( y ) * w + x ];
					sumR += pr[ static_cast< std::size_t >( y ) * w + x ];
					++count;
				}
			cb[ static_cast< std::size_t >( cy ) * cw + cx ] = QuantiseChroma( sumB / count, format.range );
			cr[ static_cast< std::size_t >( cy ) * cw + cx ] = QuantiseChroma( sumR / count, format.range );
		}
	if( frames == 0 )
	{
		const std::string header = Y4mHeader( format );
		Write( header.data(), header.size() );
	}
	Write( "FRAME\n", 6 );
	Write( luma.data(), luma.size() );
	Write( cb.data(), cb.size() );
	Write( cr.data(), cr.size() );
	if( std::fflush( file ) != 0 )
		throw Error( std::string( "cannot write the video stream: " ) + std::strerror( errno ) );
	++frames;
}
}// namespace plughost
