// ISF's GLSL dialect (GLSL 1.10-era bodies with IMG_* macros) turned into
// GLSL 4.10 core: a generated prelude declares the built-ins and one uniform
// per input, image, buffer and imported image; the body keeps its lines, and
// a #line directive makes the compiler's messages count the .fs file's lines.
#pragma once

#include "IsfDocument.h"

#include <string>

namespace isf
{
struct GeneratedShaders
{
	std::string vertex, fragment;
};

struct TranslateOptions
{
	// Integer literals in float contexts written as floats: a fallback for
	// bodies that lean on conversions GLSL 4.10 does not make.
	bool floatLiterals = false;
};

// `vertexText` is the companion .vs file, empty when there is none.
GeneratedShaders Translate( const Document& document, const std::string& vertexText, TranslateOptions options = {} );

// The sampler-like names of a document: image inputs, audio inputs,
// imported images and pass targets, each once.
std::vector< std::string > ImageNames( const Document& document );

// The GLSL name of an input, image or buffer: the ISF name, unless GLSL 4.10
// keeps it for itself (`sample`, `filter`, `texture`...), then prefixed.
std::string GlslName( const std::string& name );

// A compiler log with "0:LINE(COL)" positions rewritten as "FILE:LINE:COL".
std::string DescribeLog( const std::string& log, const std::string& fragmentFile, const std::string& vertexFile );
}// namespace isf
