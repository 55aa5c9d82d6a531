// The clock: an analog face or a digital HH:MM[:SS] read-out, drawn by two
// GLSL programs over one full-viewport quad.
#pragma once

#include <FFGLSDK.h>

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
