// One rendered frame's pixels, encoded as PNG the first time someone asks
// and kept: with no page open nothing is encoded, and the encoding of one
// frame runs while the worker renders the next.
#pragma once

#include <Image.h>

#include <mutex>
#include <string>

namespace plughost::cli::serve
{
class FramePicture
{
public:
	explicit FramePicture( Image image ) : image( std::move( image ) ) {}

	const Image& Pixels() const { return image; }
	// Throws plughost::Error when it cannot be encoded.
	const std::string& Png() const;

private:
	Image image;
	mutable std::once_flag encoded;
	mutable std::string png;
};
}// namespace plughost::cli::serve
