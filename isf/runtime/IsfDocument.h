// An ISF file read into memory: its JSON header as typed inputs, passes and
// imported images, and the GLSL body after the header. Parsing checks
// everything that can be checked without a GL context and throws isf::Error
// with a message that names the file (and the line when there is one).
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace isf
{
struct Error : std::runtime_error
{
	using std::runtime_error::runtime_error;
};

enum class InputType
{
	Event,
	Bool,
	Long,
	Float,
	Point2D,
	Color,
	Image,
	Audio,
	AudioFFT
};
const char* TypeName( InputType type );

struct Input
{
	std::string name; // the uniform
	std::string label;// what the host shows: LABEL, else NAME
	InputType type = InputType::Float;
	bool hasDefault = false, hasMin = false, hasMax = false;
	// Float, bool, long: [0]; point2D: [0..1]; colour: [0..3].
	std::array< float, 4 > defaultValue{}, minimum{}, maximum{};
	std::vector< int > values;// long
	std::vector< std::string > labels;
	uint32_t samples = 0;// audio, audioFFT: MAX, 0 when absent
};

struct Pass
{
	std::string target;// empty: the output
	bool persistent  = false;
	bool floatTarget = false;
	std::string width, height;// expressions; empty: the render size
};

struct ImportedImage
{
	std::string name;
	std::string path;// as written, relative to the ISF file
};

enum class Kind
{
	Source,
	Effect,
	Mixer
};

struct Document
{
	std::string fileName;// for messages
	std::string description, credit, vsn;
	std::vector< std::string > categories;
	std::vector< Input > inputs;
	std::vector< Pass > passes;// never empty
	std::vector< ImportedImage > imported;
	bool version1 = false;
	std::string body;     // the GLSL after the header comment
	int bodyLine = 1;     // line of the file on which the body starts
	Kind kind = Kind::Source;
	// Indices into inputs of the image inputs, in plug-in input order.
	std::vector< size_t > imageInputs;
};

// Most inputs a plug-in made from an ISF file takes.
constexpr size_t kMaxImageInputs = 8;

// `text` is the whole .fs file.
Document ParseDocument( const std::string& text, const std::string& fileName );

// Line (1-based) of byte `offset` in `text`.
int LineOf( const std::string& text, size_t offset );
}// namespace isf
