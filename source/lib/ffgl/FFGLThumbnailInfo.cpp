#include "FFGLPluginInfo.h"

#include <utility>

CFFGLThumbnailInfo* CFFGLThumbnailInfo::instance = nullptr;

CFFGLThumbnailInfo::CFFGLThumbnailInfo( uint32_t width, uint32_t height, std::vector< CFFGLColor > pixels ) :
	width( width ),
	height( height ),
	ownedPixels( std::move( pixels ) )
{
	ownedPixels.resize( static_cast< uint32_t >( width * height ) );
	this->pixels = ownedPixels.data();
	instance     = this;
}

CFFGLThumbnailInfo::CFFGLThumbnailInfo( uint32_t width, uint32_t height, const CFFGLColor* pixels ) :
	width( width ),
	height( height ),
	pixels( pixels )
{
	instance = this;
}

CFFGLThumbnailInfo::~CFFGLThumbnailInfo()
{
	// Never leave the current-thumbnail pointer dangling.
	if( instance == this )
		instance = nullptr;
}

CFFGLThumbnailInfo* CFFGLThumbnailInfo::GetInstance() { return instance; }
uint32_t CFFGLThumbnailInfo::GetWidth() const { return width; }
uint32_t CFFGLThumbnailInfo::GetHeight() const { return height; }
const CFFGLColor* CFFGLThumbnailInfo::GetPixels() const { return pixels; }
