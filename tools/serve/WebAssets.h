// The page's files, embedded into the program at build time from
// tools/serve/web/ (see cmake/EmbedFiles.cmake): the server reads no files
// of its own at run time.
#pragma once

#include <cstddef>
#include <vector>

namespace plughost::cli::serve
{
struct WebAsset
{
	const char* path;// "/index.html"
	const char* type;// its Content-Type
	const unsigned char* data;
	std::size_t size;
};

const std::vector< WebAsset >& WebAssets();
}// namespace plughost::cli::serve
