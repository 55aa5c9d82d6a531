// Base of quick-start plug-ins. The author adds parameter objects, gives a
// fragment body and optionally includes snippets; this class registers the
// parameters with the host, declares one uniform per parameter (or colour
// group), and every frame sends time, beat and parameter values before
// drawing a full-viewport quad.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>
#include "../ffgl/FFGLPlugin.h"
#include "../ffglex/FFGLShader.h"
#include "../ffglex/FFGLScreenQuad.h"
#include "FFGLAudio.h"
#include "FFGLParam.h"
#include "FFGLRandom.h"
#include "FFGLShaderSnippets.h"

namespace ffglqs
{
class Plugin : public CFFGLPlugin
{
public:
	explicit Plugin( bool supportTopLeftTextureOrientation = false );
	~Plugin() override;

	// Host-facing operations.
	FFResult InitGL( const FFGLViewportStruct* viewport ) override;
	FFResult DeInitGL() override;
	char* GetParameterDisplay( uint32_t index ) override;
	// Refuses NaN and infinities with FF_FAIL, leaving the value unchanged.
	FFResult SetFloatParameter( uint32_t index, float value ) override;
	FFResult SetTextParameter( uint32_t index, const char* value ) override;
	float GetFloatParameter( uint32_t index ) override;
	char* GetTextParameter( uint32_t index ) override;
	FFResult ProcessOpenGL( ProcessOpenGLStruct* pGL ) override;
	void SetSampleRate( uint32_t sampleRate ) override;

	// Hooks for the author.
	// Init runs inside InitGL after the program and the quad are built but
	// before the viewport is recorded: GetViewport() still holds the previous
	// viewport (zero on a new instance). Read the size in Update or Render.
	virtual FFResult Init();
	virtual void Update();
	virtual FFResult Render( ProcessOpenGLStruct* inputTextures );
	virtual void Clean();

	// Parameters, in the order the host is to list them.
	void AddParam( std::shared_ptr< Param > param );
	void AddParam( std::shared_ptr< ParamRange > param );
	void AddParam( std::shared_ptr< ParamOption > param );
	void AddParam( std::shared_ptr< ParamFFT > param );
	// An RGB group: name, name_green, name_blue, each 0.5; one vec3 uniform.
	void AddRGBColorParam( const std::string& name );
	// A hue group: name, name_saturation, name_brightness, name_alpha at
	// 0, 0, 1, 1; one vec4 uniform holding the colour as RGBA.
	void AddHueColorParam( const std::string& name );

	// Null when no parameter of that name (and kind) was added: a mistyped
	// name must not be dereferenced.
	std::shared_ptr< Param > GetParam( const std::string& name ) const;
	std::shared_ptr< ParamOption > GetParamOption( const std::string& name ) const;
	std::shared_ptr< ParamText > GetParamText( const std::string& name ) const;

	void Include( shader::snippet_id id );
	void Include( const std::set< shader::snippet_id >& ids );
	void SetFragmentShader( std::string code );

	// The analyser fed from a spectrum parameter; null for unknown ones.
	const Audio* GetAudio( const std::shared_ptr< ParamFFT >& param ) const;

	// The last display text made, shared by all quick-start plug-ins on one
	// thread (one buffer per thread, as for CFFGLPlugin::s_DisplayValue).
	static thread_local char displayValueBuffer[ 16 ];

protected:
	std::string CreateFragmentShader( const std::string& code ) const;
	void UpdateAudioAndTime();
	void SendDefaultParams( ffglex::FFGLShader& target );
	void SendParams( ffglex::FFGLShader& target );
	void consumeAllTrigger();
	bool IsRGBColor( int32_t index ) const;
	bool IsHueColor( int32_t index ) const;

	std::string fragmentShaderCode;
	std::vector< std::shared_ptr< Param > > params;
	std::map< std::shared_ptr< ParamFFT >, Audio > audioAnalysers;
	ffglex::FFGLShader shader;
	ffglex::FFGLScreenQuad quad;
	float timeNow = 0.0f;
	float deltaTime = 0.0f;
	float lastTime = 0.0f;
	uint32_t frame = 0;
	std::chrono::steady_clock::time_point startTime;
	Random randomGenerator;
	std::set< shader::snippet_id > includedSnippets;
	std::string fragmentShaderCodeStart;
	std::string vertexShaderCode;

private:
	bool HasParamAt( uint32_t index ) const { return index < params.size(); }
};

}// namespace ffglqs
