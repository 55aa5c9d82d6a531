// One frei0r instance: an FFGL instance on a headless EGL context of its own,
// with the textures that carry the host's frames in and out. Construction
// only records the size; the GL side is set up at the first frame (or at
// once, when asked, to find out whether the plug-in instantiates at all).
// Every public call takes the instance's lock, so a host may use the
// instance from any thread, one call at a time or not.
#pragma once

#include "GLThread.h"
#include "HostQuirks.h"
#include "LoadedPlugin.h"

#include <GLContext.h>
#include <Image.h>
#include <InputTexture.h>
#include <Instance.h>
#include <RenderTarget.h>

#include "Frei0rApi.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ffglfrei0r
{
class BridgeInstance
{
public:
	// Frames from this many pixels on are read back by two threads.
	static constexpr std::size_t kReaderPixels = 640 * 480;

	BridgeInstance( std::shared_ptr< LoadedPlugin > plugin, unsigned width, unsigned height, TimeUnit unit );
	// Frees every GL object on the instance's GL thread and ends that thread.
	~BridgeInstance();
	BridgeInstance( const BridgeInstance& )            = delete;
	BridgeInstance& operator=( const BridgeInstance& ) = delete;

	// Sets up GL now; false with the reason when that fails.
	bool SetUp( std::string& reason );

	void SetParameter( int index, f0r_param_t value );
	void GetParameter( int index, f0r_param_t value );
	// `inputs` as the frame type wants them (null pictures read as transparent).
	void Update( double time, const uint32_t* first, const uint32_t* second, uint32_t* out );

private:
	struct Pending
	{
		bool set = false;
		float number = 0.0f;
		std::string text;
	};

	std::mutex mutex;
	std::shared_ptr< LoadedPlugin > plugin;
	const PluginFacts& facts;
	unsigned width  = 0;
	unsigned height = 0;
	TimeUnit unit   = TimeUnit::Seconds;
	std::vector< Pending > pending;      // values set since the last frame
	std::vector< std::string > readBack; // text answers the host holds on to
	std::string reportedFailure;         // set once a failure was reported

	std::unique_ptr< GLThread > gl;// declared first of the GL side: it outlives the objects made on it
	std::unique_ptr< plughost::GLContext > context;
	std::unique_ptr< plughost::RenderTarget > target;
	std::unique_ptr< plughost::Instance > instance;
	// A second thread and context sharing the render target: it reads the
	// top part of each frame back while the GL thread reads the rest.
	std::unique_ptr< GLThread > reader;
	std::unique_ptr< plughost::GLContext > readerContext;
	uint32_t readerFramebuffer = 0;
	std::vector< std::unique_ptr< plughost::InputTexture > > inputTextures;
	std::vector< FFGLTextureStruct > inputs;// their records, as frames take them
	std::vector< uint8_t > row;
	bool setUpFailed = false;
	bool packInvert  = false;// the driver reads back top row first

	bool SetUpLocked( std::string& reason );
	// On the GL thread:
	void MakeGLObjects();// throws; our context is current after
	void FreeGLObjects() noexcept;
	void StartReader();
	void MakeReader() noexcept;// on the reader thread; no reader when it fails
	void FreeReader() noexcept;
	void ReadRows( uint32_t framebuffer, unsigned first, unsigned count, uint32_t* out );
	void Render( double time, const uint32_t* first, const uint32_t* second, uint32_t* out );// throws

	void TearDownLocked() noexcept;
	void ApplyPendingLocked();
	void ReadBack( uint32_t* out );
	void Fail( uint32_t* out, const std::string& reason );
	std::size_t InputCount() const;
};
}// namespace ffglfrei0r
