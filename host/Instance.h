// One plug-in instance: made by code 18, destroyed by code 19. Every call
// that touches GL (construction, ProcessFrame, Resize, destruction) needs the
// host's GL context current on the calling thread, and the PluginLibrary
// must outlive its instances.
#pragma once

#include "PluginLibrary.h"

#include <ffgl/FFGL.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plughost
{
class Instance
{
public:
	// Throws Error when the plug-in refuses to instantiate.
	Instance( PluginLibrary& library, uint32_t width, uint32_t height );
	Instance( PluginLibrary& library, const FFGLViewportStruct& viewport );
	~Instance();
	Instance( Instance&& other ) noexcept;
	Instance& operator=( Instance&& other ) noexcept;
	Instance( const Instance& )            = delete;
	Instance& operator=( const Instance& ) = delete;

	void* Handle() const { return handle; }
	PluginLibrary& Library() const { return *library; }
	FFMixed Call( uint32_t code, FFMixed input ) const;

	// Parameters (codes 8, 9, 7). Sending a float to a text parameter would
	// make the plug-in read it as a pointer, so the typed calls refuse a
	// parameter of the wrong kind with FF_FAIL / nullopt instead of calling.
	uint32_t SetFloat( uint32_t index, float value );
	uint32_t SetText( uint32_t index, const std::string& value );
	std::optional< float > GetFloat( uint32_t index ) const;
	std::optional< std::string > GetText( uint32_t index ) const;
	std::optional< std::string > Display( uint32_t index ) const;
	std::optional< std::string > DisplayName( uint32_t index ) const;// 51
	uint32_t SetElementValue( uint32_t index, uint32_t element, float value );// 37

	// Host state (codes 20, 38, 39, 40, 23).
	uint32_t SetTime( double seconds );
	uint32_t SetBeat( float bpm, float barPhase );
	uint32_t SetHostInfo( const std::string& name, const std::string& version );
	uint32_t SetSampleRate( uint32_t rate );
	uint32_t Resize( uint32_t width, uint32_t height );

	uint32_t Connect();                       // 21
	uint32_t Disconnect();                    // 22
	uint32_t InputStatus( uint32_t input ) const;// 16
	uint32_t EnableCapability( uint32_t capability );// 49

	// Parameter events (code 46): the pending count without consuming, or up
	// to `capacity` events, consumed.
	std::optional< uint32_t > PendingEventCount() const;
	std::vector< ParamEventStruct > ConsumeEvents( uint32_t capacity );

	// Code 17 with the given input textures; the caller binds the target
	// framebuffer first (see RenderFrame).
	uint32_t ProcessFrame( const std::vector< FFGLTextureStruct >& inputs = {} );

private:
	PluginLibrary* library = nullptr;
	void* handle           = nullptr;

	void Destroy() noexcept;
	bool HasTextType( uint32_t index ) const;
	std::optional< uint32_t > TypeOf( uint32_t index ) const;
};
}// namespace plughost
