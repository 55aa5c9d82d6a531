// Draws an ISF document with GL: one program for all passes, a ping-pong
// pair of textures per pass target (so a pass reads a target's previous
// contents while writing it), persistent and float targets, imported images
// and audio textures. All GL calls need the host's context current; every
// object is made in Initialise and freed in Release, and a frame leaves no
// binding behind.
#pragma once

#include "IsfBundle.h"
#include "IsfDocument.h"

#include <ffglex/FFGLGL.h>
#include <ffglex/FFGLScreenQuad.h>

#include <array>
#include <map>
#include <string>
#include <vector>

namespace isf
{
struct FrameState
{
	float time      = 0.0f;
	float timeDelta = 0.0f;
	int frameIndex  = 0;
	std::array< float, 4 > date{};
};

// A host texture: GL name, picture size and the largest texture coordinates
// that hold picture.
struct SourceTexture
{
	GLuint handle = 0;
	float width = 0.0f, height = 0.0f;
	float scaleX = 1.0f, scaleY = 1.0f;
};

// Compiles the document's program on the current context, without keeping
// it: the check `plughost isf` makes. Empty on success, else the message.
std::string CheckCompiles( const Document& document, const Bundle& bundle );

class Renderer
{
public:
	Renderer()                             = default;
	Renderer( const Renderer& )            = delete;
	Renderer& operator=( const Renderer& ) = delete;
	~Renderer();

	// False with a message naming the file and line when the shaders do not
	// compile or an image cannot be read.
	bool Initialise( const Document& document, const Bundle& bundle, std::string& error );
	void Release();

	// Current value of a non-image input (components as the uniform has them).
	void SetValue( size_t input, const std::array< float, 4 >& value );
	// Samples (audio, centred on 0.5) or magnitudes (audioFFT) for an audio input.
	void SetAudio( size_t input, const std::vector< float >& samples );

	// Draws a frame into the framebuffer bound now, within `viewport`
	// (x, y, width, height). `images` follow the document's imageInputs;
	// missing ones read as transparent black.
	bool Render( const FrameState& frame, const std::vector< SourceTexture >& images, const std::array< GLint, 4 >& viewport,
				 std::string& error );

	// Pass targets, for tests: GL texture of the latest contents, or 0.
	GLuint TargetTexture( const std::string& name ) const;

private:
	struct Target
	{
		std::string name;
		bool persistent = false, isFloat = false;
		std::string width, height;
		GLuint textures[ 2 ]{}, framebuffers[ 2 ]{};
		int w = 0, h = 0;
		int current = 0;// the texture holding the latest contents
	};
	struct ImageSlot
	{
		std::string name;
		GLint sampler = -1, size = -1, scale = -1, rect = -1;
		GLuint texture = 0;      // imported images and audio: our own
		float width = 1.0f, height = 1.0f;
		long input  = -1;        // index into inputs for image/audio inputs
		long target = -1;        // index into targets
		long plugInput = -1;     // position among the plug-in's inputs
	};

	const Document* document = nullptr;
	GLuint program = 0, vertexShader = 0, fragmentShader = 0;
	GLuint sampler = 0, emptyTexture = 0;
	ffglex::FFGLScreenQuad quad;
	bool quadReady = false;
	std::vector< Target > targets;
	std::vector< ImageSlot > slots;
	std::vector< GLint > inputLocations;
	std::vector< std::array< float, 4 > > values;
	std::map< size_t, std::vector< float > > audio;
	std::map< size_t, bool > audioDirty;
	GLint passIndex = -1, renderSize = -1, timeLocation = -1, timeDelta = -1, dateLocation = -1, frameIndex = -1;
	int lastWidth = 0, lastHeight = 0;

	bool AllocateTarget( Target& target, int w, int h );
	void FreeTarget( Target& target );
	void SizeTargets( int width, int height );
	void UploadAudio();
};
}// namespace isf
