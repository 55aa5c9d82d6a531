// The registration record and the thumbnail, used directly.
#include <gtest/gtest.h>

#include <ffgl/FFGLPlugin.h>
#include <ffgl/FFGLPluginInfo.h>
#include <cstring>
#include <vector>

namespace
{
FFResult NoFactory( CFFGLPlugin** )
{
	return FF_FAIL;
}

TEST( Registration, FixedTextFieldsKeepTheirExactBytes )
{
	CFFGLPluginInfo full( NoFactory, "ABCD", "Sixteen chars ok", 2, 1, 1, 0, FF_SOURCE, "d", "a" );
	const PluginInfoStruct* info = full.GetPluginInfo();
	EXPECT_EQ( std::memcmp( info->PluginUniqueID, "ABCD", 4 ), 0 );
	EXPECT_EQ( std::memcmp( info->PluginName, "Sixteen chars ok", 16 ), 0 );

	CFFGLPluginInfo longName( NoFactory, "AB", "A name of twenty ch", 2, 1, 1, 0, FF_SOURCE, "d", "a" );
	EXPECT_EQ( std::memcmp( longName.GetPluginInfo()->PluginName, "A name of twenty", 16 ), 0 );
	const char id[ 4 ] = { 'A', 'B', 0, 0 };
	EXPECT_EQ( std::memcmp( longName.GetPluginInfo()->PluginUniqueID, id, 4 ), 0 );
	// The newest record is the current one.
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
	EXPECT_EQ( extended->PluginMajorVersion, 4u );
	EXPECT_EQ( extended->PluginMinorVersion, 5u );
	EXPECT_STREQ( extended->Description, "described" );
	EXPECT_STREQ( extended->About, "about" );
	ASSERT_EQ( extended->FreeFrameExtendedDataSize, 3u );
	const unsigned char* kept = static_cast< const unsigned char* >( extended->FreeFrameExtendedDataBlock );
	EXPECT_EQ( kept[ 0 ], 1 );
	EXPECT_EQ( kept[ 2 ], 3 );

	CFFGLPluginInfo sizeWithoutData( NoFactory, "ID", "Name", 2, 1, 1, 0, FF_SOURCE, "d", "a", 8, nullptr );
	EXPECT_EQ( sizeWithoutData.GetPluginExtendedInfo()->FreeFrameExtendedDataSize, 0u );
	EXPECT_EQ( sizeWithoutData.GetPluginExtendedInfo()->FreeFrameExtendedDataBlock, nullptr );
}

struct Plain : CFFGLPlugin
{
	Plain() : CFFGLPlugin( false ) {}
};

TEST( Registration, FactoryMakesAnObjectOfTheClass )
{
	CFFGLPlugin* made = nullptr;
	ASSERT_EQ( PluginFactory< Plain >( &made ), FF_SUCCESS );
	ASSERT_NE( dynamic_cast< Plain* >( made ), nullptr );
	delete made;
	EXPECT_EQ( PluginFactory< Plain >( nullptr ), FF_FAIL );
}

TEST( Thumbnail, ColoursPackAndStoreResizes )
{
	EXPECT_EQ( CFFGLColor( 0x11, 0x22, 0x33, 0x44 ).value, 0x11223344u );
	EXPECT_EQ( CFFGLColor().value, 0u );
	{
		CFFGLThumbnailInfo thumbnail( 2, 2, std::vector< CFFGLColor >{ 1u, 2u, 3u } );
		EXPECT_EQ( CFFGLThumbnailInfo::GetInstance(), &thumbnail );
		EXPECT_EQ( thumbnail.GetPixels()[ 2 ].value, 3u );
		EXPECT_EQ( thumbnail.GetPixels()[ 3 ].value, 0u );
	}
	// A destroyed thumbnail is no longer current.
	EXPECT_EQ( CFFGLThumbnailInfo::GetInstance(), nullptr );

	const CFFGLColor pixels[ 1 ] = { 7u };
	CFFGLThumbnailInfo borrowed( 1, 1, pixels );
	EXPECT_EQ( borrowed.GetPixels(), pixels );
	{
		CFFGLThumbnailInfo newer( 1, 1, pixels );
		EXPECT_EQ( CFFGLThumbnailInfo::GetInstance(), &newer );
	}
	EXPECT_EQ( CFFGLThumbnailInfo::GetInstance(), nullptr );
}
}// namespace
