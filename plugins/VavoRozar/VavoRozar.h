// The clock: an analog face or a digital HH:MM[:SS] read-out, drawn by two
// GLSL programs over the viewport: over the whole quad, or, when the host's
// state allows, over a cleared background and a cover of the face only.
#pragma once

#include <FFGLSDK.h>

#include "FaceCover.h"

class VavoRozar : public CFFGLPlugin
{
public:
	VavoRozar();
	~VavoRozar() override;

	FFResult InitGL( const FFGLViewportStruct* viewport ) override;
	FFResult DeInitGL() override;
	FFResult SetFloatParameter( unsigned int index, float value ) override;
	float GetFloatParameter( unsigned int index ) override;
	FFResult ProcessOpenGL( ProcessOpenGLStruct* pGL ) override;

	// Rasterises the eleven glyphs (digits 0-9, colon) into new textures.
	void GenerateDigitTextures( int width, int height );

	// Snaps a 0..1 fraction to whole minutes or seconds: k/60 with k <= 59.
	static float SnapToWholeSixtieths( float value );

private:
	ffglex::FFGLShader analogShader;
	ffglex::FFGLShader digitalShader;
	ffglex::FFGLScreenQuad quad;

	// Draws the face over its cover after clearing the viewport; false
	// (nothing drawn) when the whole quad must be drawn instead.
	bool DrawOverCover( const GLint ( &viewport )[ 4 ], float aspectRatio, const float ( &time )[ 3 ] );

	// The cover's triangles: rebuilt into fixed storage when what they
	// depend on changes, and streamed into one buffer that only its own
	// vertex array binds.
	GLuint coverArray  = 0;
	GLuint coverBuffer = 0;
	facecover::GlyphCover glyphCover;
	facecover::Vertex coverVertices[ facecover::kMaxVertices ] = {};
	// What the buffer holds: the cover of these inputs (a digital frame's
	// stays the same for a second), with its vertex count (-1: none).
	struct CoverInputs
	{
		facecover::View view;
		float time[ 3 ];
		int digits[ 6 ];
		int glyphSet;
		bool digital, showSeconds;
	};
	CoverInputs coverInputs = {};
	int coverCount          = -1;
	int glyphSetGeneration  = 0;

	GLuint digitTextures[ 11 ] = {};
	int digitTextureWidth = 0;
	int digitTextureHeight = 0;

	float red = 0.8f;
	float green = 0.8f;
	float blue = 0.8f;
	float scale = 0.5f;
	float manualHours = 1.0f;
	float manualMinutes = 1.0f;
	float manualSeconds = 0.0f;
	bool showSeconds = true;
	bool useSystemTime = true;
	float timezoneOffset = 0.0f;
	bool smooth = true;
	bool digital = false;
	bool hourFormat24h = false;
	bool solidBackground = true;
	bool redSecondsHand = false;
};
