// The plug-in the shell library becomes once an ISF bundle is appended to
// it: identity, kind and parameters come from the bundle, read from the
// library's own file when it loads.
#pragma once

#include <FFGLSDK.h>

#include "IsfBundle.h"
#include "IsfDocument.h"
#include "IsfRenderer.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace isf
{
// What the library carries, read once at load. With `error` set the library
// still loads (so hosts can list it and show why) but refuses instances.
struct Payload
{
	std::string error;
	Bundle bundle;
	Document document;
	std::string name = "ISF (invalid)", id = "ISF?";
	std::string description, about;
	uint32_t type = FF_SOURCE;
};
const Payload& LoadedPayload();

// How one host parameter reaches the uniforms.
struct ParamLink
{
	size_t input  = 0;
	int component = 0;   // point2D x/y, colour r/g/b/a
	bool relative = false;// point2D without MIN/MAX: a fraction of RENDERSIZE
};

class IsfPlugin : public CFFGLPlugin
{
public:
	IsfPlugin();

	FFResult InitGL( const FFGLViewportStruct* viewport ) override;
	FFResult DeInitGL() override;
	FFResult ProcessOpenGL( ProcessOpenGLStruct* pGL ) override;
	FFResult SetFloatParameter( uint32_t index, float value ) override;
	float GetFloatParameter( uint32_t index ) override;
	char* GetParameterDisplay( uint32_t index ) override;
	FFResult SetTime( double time ) override;

private:
	const Payload& payload;
	std::vector< ParamLink > links;
	std::vector< float > paramValues;
	std::vector< bool > touched;      // set by the host since instantiation
	std::vector< bool > pendingEvents;// fired, not yet drawn
	std::vector< std::vector< float > > lastAudio;
	Renderer renderer;
	bool timeFromHost = false;
	double lastTime   = 0.0;
	int frames        = 0;
	std::chrono::steady_clock::time_point started;

	void RegisterParameters();
	void SetRangedDefault( uint32_t id, float value );
	std::array< float, 4 > UniformValue( size_t input ) const;
};
}// namespace isf
