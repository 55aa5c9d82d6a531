// Triangles that cover every pixel where a clock face can differ from its
// background. A frame clears the viewport to the background and runs the
// unchanged face program over these triangles only: on a software renderer
// the programs cost tens of trivial passes per pixel, and most of a face is
// background. Plain arithmetic, no GL, so it can be checked on its own.
#pragma once

#include <cstdint>

namespace facecover
{
// The screen quad's vertex layout: texture coordinate, then clip position.
struct Vertex
{
	float u, v, x, y, z;
};

// Room for the largest cover: a 256-segment ring, twelve ticks, three
// hands and the centre disc, or eight glyph boxes of up to 48 rectangles.
constexpr int kMaxVertices = 2400;

// Viewports of fewer pixels get no cover: the whole quad costs less there.
constexpr int64_t kSmallestCovered = 64 * 64;

// What the face program sees: its AspectRatio and Scale uniforms, and the
// GL viewport it is drawn into (window pixels).
struct View
{
	float aspectRatio;
	float scale;
	int32_t x, y, width, height;
};

struct Hands
{
	float hours, minutes, seconds;
	bool showSeconds;
};

// Where each glyph image can read non-zero through linear filtering, as
// rectangles in box coordinates (s to the right, t downwards, 0 to 1).
class GlyphCover
{
public:
	static constexpr int kColumns  = 32;
	static constexpr int kRows     = 64;
	static constexpr int kMaxRects = 48;
	// Entries 0 to 9 are the digits, then the colon, then any digit at all.
	static constexpr int kColon    = 10;
	static constexpr int kAnyDigit = 11;
	static constexpr int kEntries  = 12;

	struct Rect
	{
		float s0, t0, s1, t1;
	};

	// Forgets every glyph: nothing can read non-zero.
	void Clear();
	// Adds the width x height image (row 0 on top) of glyph 0 to 10; Finish
	// turns the cells it inks into rectangles.
	void Add( const unsigned char* texels, int width, int height, int glyph );
	void Finish();

	int Count( int entry ) const { return counts[ entry ]; }
	const Rect* Rects( int entry ) const { return rects[ entry ]; }

private:
	uint32_t cells[ kEntries ][ kRows ] = {};
	Rect rects[ kEntries ][ kMaxRects ] = {};
	int counts[ kEntries ] = {};
};

// The six digits the digital program shows (hour, minute and second tens
// and units), in single precision as the program works them out; -1 where
// the program's integer conversion would not be defined.
void ReadOut( float hours, float minutes, float seconds, bool hourFormat24h, int ( &digits )[ 6 ] );

// Each writes the cover of one frame into `out` (room for kMaxVertices) and
// returns the vertex count, or -1 when the frame should be drawn over the
// whole viewport instead: the program's arithmetic would leave the finite
// range, or the cover would take most of the viewport anyway.
int Analog( const View& view, const Hands& hands, Vertex* out );
int Digital( const View& view, bool showSeconds, const int ( &digits )[ 6 ], const GlyphCover& glyphs, Vertex* out );
}// namespace facecover
