// Base class of every plug-in object: the prototype and every instance.
// It stores what the host pushes in (viewport, time, beat, host texts,
// sample rate) and holds the table of virtual operations the entry point
// forwards host requests to. The defaults accept housekeeping calls and
// refuse everything parameter- or render-related.
#pragma once

#include <string>
#include "FFGL.h"
#include "FFGLPluginManager.h"

class CFFGLPlugin : public CFFGLPluginManager
{
public:
	struct HostInfo
	{
		std::string name;
		std::string version;
	};

	explicit CFFGLPlugin( bool supportTopLeftTextureOrientation );
	~CFFGLPlugin() override;

	// Virtual operations, in slot order after the destructor pair.
	virtual FFResult InitGL( const FFGLViewportStruct* viewport );
	virtual FFResult DeInitGL();
	virtual char* GetParameterDisplay( uint32_t index );
	virtual FFResult SetFloatParameter( uint32_t index, float value );
	virtual FFResult SetTextParameter( uint32_t index, const char* value );
	virtual float GetFloatParameter( uint32_t index );
	virtual char* GetTextParameter( uint32_t index );
	virtual FFResult ProcessOpenGL( ProcessOpenGLStruct* pGL );
	virtual FFResult SetTime( double time );
	virtual void SetBeatInfo( float bpm, float barPhase );
	virtual void SetHostInfo( const char* hostName, const char* hostVersion );
	virtual void SetSampleRate( uint32_t sampleRate );
	virtual FFResult GetInputStatus( uint32_t inputIndex );
	virtual char* GetShortName();
	virtual FFResult Connect();
	virtual FFResult Disconnect();
	virtual FFResult Resize( const FFGLViewportStruct* viewport );

	// Registers a parameter whose default is this object's current value.
	void SetParamInfof( uint32_t ID, const char* name, uint32_t type );

	const FFGLViewportStruct& GetViewport() const { return currentViewport; }
	float GetBpm() const { return bpm; }
	float GetBarPhase() const { return barPhase; }
	const HostInfo& GetHostInfo() const { return hostInfo; }
	double GetHostTime() const { return hostTime; }
	uint32_t GetSampleRate() const { return sampleRate; }

	// Written by the entry point only.
	bool m_connected = false;
	CFFGLPlugin* m_pSelf = nullptr;

protected:
	FFGLViewportStruct currentViewport{ 0, 0, 0, 0 };
	float bpm = 120.0f;
	float barPhase = 0.0f;
	HostInfo hostInfo;
	double hostTime = 0.0;
	uint32_t sampleRate = 0;

	// The last default display text, shared by all objects of the library on
	// one thread: it stays valid until that thread asks for the next one.
	// One buffer per thread, because hosts may drive different instances
	// from different threads at once and each reads its own text.
	static thread_local char s_DisplayValue[ 16 ];
};
