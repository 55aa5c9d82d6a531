// The registration record and the thumbnail, used directly.
#include <gtest/gtest.h>

#include <ffgl/FFGLPlugin.h>
#include <ffgl/FFGLPluginInfo.h>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace
{
FFResult NoFactory( CFFGLPlugin** )
{
	return FF_FAIL;
}

// Fixed fields keep exactly 4 and 16 bytes, zero-padded; the newest record is current.
TEST( Registration, FixedTextFieldsKeepTheirExactBytes )
{
	CFFGLPluginInfo full( NoFactory, "ABCD", "Sixteen chars ok", 2, 1, 1, 0, FF_SOURCE, "d", "a" );
	EXPECT_EQ( std::string( full.GetPluginInfo()->PluginName, 16 ), "Sixteen chars ok" );
	CFFGLPluginInfo longName( NoFactory, "AB", "A name of twenty ch", 2, 1, 1, 0, FF_SOURCE, "d", "a" );
	EXPECT_EQ( std::string( longName.GetPluginInfo()->PluginName, 16 ), "A name of twenty" );
	EXPECT_EQ( std::string( reinterpret_cast< const char* >( longName.GetPluginInfo()->PluginUniqueID ), 4 ), std::string( "AB\0\0", 4 ) );
	EXPECT_EQ( g_CurrPluginInfo, &longName );
}

TEST( Registration, ExtendedRecordOwnsItsTextsAndDataBlock )
{
	std::vector< char > description( "described", "described" + 10 );
	std::vector< unsigned char > block = { 1, 2, 3 };
	CFFGLPluginInfo record( NoFactory, "ID", "Name", 2, 1, 4, 5, FF_MIXER, description.data(), "about", 3, block.data() );
	description.assign( description.size(), 'X' );
	block.assign( 3, 9 );
	const PluginExtendedInfoStruct* extended = record.GetPluginExtendedInfo();
	const auto* kept = static_cast< const unsigned char* >( extended->FreeFrameExtendedDataBlock );
	EXPECT_EQ( ( std::tuple{ extended->PluginMajorVersion, extended->PluginMinorVersion, std::string( extended->Description ),
							 std::string( extended->About ), extended->FreeFrameExtendedDataSize, kept[ 0 ], kept[ 2 ] } ),
			   std::tuple( 4u, 5u, "described", "about", 3u, 1, 3 ) );
	CFFGLPluginInfo sizeWithoutData( NoFactory, "ID", "Name", 2, 1, 1, 0, FF_SOURCE, "d", "a", 8, nullptr );
	EXPECT_EQ( ( std::tuple{ sizeWithoutData.GetPluginExtendedInfo()->FreeFrameExtendedDataSize, sizeWithoutData.GetPluginExtendedInfo()->FreeFrameExtendedDataBlock } ),
			   std::tuple( 0u, nullptr ) );
}

uint32_t AskThumbnail( GetThumbnailStruct& query )
{
	FFMixed input;
	input.PointerValue = &query;
	return plugMain( FF_GET_THUMBNAIL, input, nullptr ).UIntValue;
}

// Pixels given short are padded; a destroyed thumbnail is no longer current;
// one without a pixel source is answered as no thumbnail, never copied from.
TEST( Thumbnail, ColoursPackAndStoreResizes )
{
	EXPECT_EQ( ( std::tuple{ CFFGLColor( 0x11, 0x22, 0x33, 0x44 ).value, CFFGLColor().value } ), std::tuple( 0x11223344u, 0u ) );
	{
		CFFGLThumbnailInfo thumbnail( 2, 2, std::vector< CFFGLColor >{ 1u, 2u, 3u } );
		EXPECT_EQ( ( std::tuple{ CFFGLThumbnailInfo::GetInstance(), thumbnail.GetPixels()[ 2 ].value, thumbnail.GetPixels()[ 3 ].value } ),
				   std::tuple( &thumbnail, 3u, 0u ) );
	}
	EXPECT_EQ( CFFGLThumbnailInfo::GetInstance(), nullptr );
	const CFFGLColor pixels[ 1 ] = { 7u };
	CFFGLThumbnailInfo borrowed( 1, 1, pixels );
	EXPECT_EQ( borrowed.GetPixels(), pixels );
	{
		CFFGLThumbnailInfo nothing( 4, 4, static_cast< const CFFGLColor* >( nullptr ) );
		uint32_t buffer[ 16 ] = {};
		GetThumbnailStruct query{ 9, 9, buffer };
		EXPECT_EQ( ( std::tuple{ AskThumbnail( query ), query.width, query.height } ), std::tuple( FF_FAIL, 0u, 0u ) );
	}
	EXPECT_EQ( CFFGLThumbnailInfo::GetInstance(), nullptr );
}
}// namespace
