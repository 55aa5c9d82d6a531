// The child's side of one check: the plug-in, a GL context made on first
// need, the host's drawing set-up, and the findings sent back to the parent.
// Before every request that could crash or hang, the harness tells the
// parent what it is about to do, so a dead child still names the request.
#pragma once

#include "Check.h"

#include <ChildProcess.h>
#include <GLContext.h>
#include <Image.h>
#include <InputTexture.h>
#include <Instance.h>
#include <PluginLibrary.h>
#include <RenderTarget.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace plughost::validate
{
// "code 17 (process frame)"
std::string Request( uint32_t code );
// A request's 32-bit answer: "failure" for 0xFFFFFFFF, else the number.
std::string Answer( uint32_t answer );
// "NaN", "inf", "-1e+30", "0.5"; a NaN's bits when they are not the usual ones.
std::string Shown( float value );
// A text of at most `limit` bytes before its NUL; nullopt when there is none.
std::optional< std::string > ReadText( const char* text, std::size_t limit );
// GL_INVALID_ENUM and so on, or the number.
std::string GLErrorName( uint32_t error );
// How many input textures each frame gets: what an effect or a mixer
// needs, within the plug-in's declared minimum and maximum.
uint32_t FrameInputs( const PluginLibrary& library );
// Two values read back from a plug-in that should be the same.
bool SameValue( float a, float b );

// What the plug-in reports about one parameter, read leniently: the
// parameter checks judge these answers, the other checks only use them.
struct Param
{
	uint32_t index = 0;
	std::string name;
	uint32_t type = 0;
	bool known    = false;// code 15 answered a type
	bool text     = false;// types 14 and 100 carry texts
	float defaultValue = 0.0f;
	std::string defaultText;
	float minimum = 0.0f, maximum = 1.0f;
	std::vector< float > elementValues;// option choices

	std::string Label() const;// parameter 3 "Red"
	// A value within the range that differs from the default: another
	// choice, the other switch position, a quarter or three quarters along.
	float DistinctValue() const;
};

// Ends a check early with one finding.
struct CheckAbort
{
	Status status;
	std::string message;
};

class Stage;

class Harness
{
public:
	Harness( const Settings& settings, const ChildChannel& channel );
	~Harness();
	Harness( const Harness& )            = delete;
	Harness& operator=( const Harness& ) = delete;

	const Settings& settings;
	const Budget budget;
	std::mt19937_64& Random() { return random; }

	// Findings: the check's line shows the worst, the others become details.
	void Fail( const std::string& message ) { Add( Status::Fail, message ); }
	void Warn( const std::string& message ) { Add( Status::Warn, message ); }
	void Skip( const std::string& message ) { Add( Status::Skip, message ); }
	// The line shown when nothing was found.
	void Passed( const std::string& summary ) { passSummary = summary; }
	[[noreturn]] void Abort( const std::string& message );// a FAIL that ends the check
	bool Failed() const;
	void Fact( const std::string& key, const std::string& value );
	// Names what happens next, for the report if the child dies there.
	void Step( const std::string& what );
	// Sends the outcome; the last thing a check's child does.
	void Finish();

	// The plug-in, loaded with RTLD_LOCAL on first use and initialised
	// (code 34) as a host does before any instance, unless the check keeps
	// it uninitialised to send code 34 itself.
	PluginLibrary& Library();
	// Call before the first use of Library().
	void KeepUninitialised() { initialiseOnLoad = false; }
	FFMixed Call( uint32_t code, FFMixed input, void* instance, const std::string& what );
	uint32_t CallU( uint32_t code, uint32_t input, void* instance, const std::string& what );
	uint32_t CallP( uint32_t code, const void* input, void* instance, const std::string& what );
	const std::vector< Param >& Params();
	uint32_t PluginType();
	uint32_t InputCount();// FrameInputs of the plug-in

	// Instances; GL is made current first. Instantiate ends the check with a
	// FAIL when the plug-in refuses.
	void UseGL();
	std::unique_ptr< Instance > Instantiate( uint32_t width, uint32_t height );
	void Destroy( std::unique_ptr< Instance >& instance );
	uint32_t Set( Instance& instance, const Param& param, float value );
	uint32_t SetText( Instance& instance, const Param& param, const std::string& value, const std::string& shown );
	float Get( Instance& instance, const Param& param );
	// The value each parameter holds now, read with code 9 (texts as NaN).
	std::vector< float > Values( Instance& instance );

	// Errors left pending on the context, read and thereby cleared.
	std::vector< std::string > PendingGLErrors();

private:
	void Add( Status status, const std::string& message );

	const ChildChannel& channel;
	std::mt19937_64 random;
	std::vector< std::pair< Status, std::string > > findings;
	std::string passSummary;
	std::unique_ptr< GLContext > context;
	std::unique_ptr< PluginLibrary > library;
	std::optional< std::vector< Param > > params;
	std::optional< uint32_t > inputCount;
	bool initialiseOnLoad = true;
};

// What a host draws with: a framebuffer of its own and, for effects and
// mixers, input pictures in allocations larger than the picture.
class Stage
{
public:
	static constexpr uint8_t kClear[ 4 ] = { 23, 61, 119, 201 };

	Stage( Harness& harness, uint32_t width, uint32_t height );
	uint32_t Width() const { return target.Width(); }
	uint32_t Height() const { return target.Height(); }
	uint32_t Framebuffer() const { return target.Framebuffer(); }
	uint32_t Texture() const { return target.Texture(); }
	RenderTarget& Target() { return target; }
	const std::vector< std::unique_ptr< InputTexture > >& Inputs() const { return inputs; }

	// As a host does before each frame: binds the target and sets the whole
	// viewport, clears to kClear, returns program, vertex array, array buffer
	// and unit 0 to rest; then code 17. `what` is added to the step's name.
	uint32_t Frame( Instance& instance, const std::string& what = "" );
	// Code 17 with these inputs instead of the stage's own.
	uint32_t Frame( Instance& instance, const std::vector< const InputTexture* >& with, const std::string& what );
	// Code 17 with a frame record made by the caller, for odd inputs.
	uint32_t Frame( Instance& instance, ProcessOpenGLStruct& frame, const std::string& what );
	Image Pixels() const { return target.ReadPixels(); }
	// Takes the host's bindings back to rest: program, vertex array, array
	// buffer, 2D textures on every unit, unit 0. A program left bound stays
	// alive after deletion until then, which would look like a leak.
	static void Rest();
	// Every pixel still holds the clear colour.
	bool Untouched() const;

private:
	void Prepare();
	std::string FrameStep( const std::string& what ) const;

	Harness& harness;
	RenderTarget target;
	std::vector< std::unique_ptr< InputTexture > > inputs;
};

// A picture with structure in both directions and no pixel in the padding
// colour, for input textures.
Image TestPicture( uint32_t width, uint32_t height, uint32_t variant );
// Share of pixels that differ by more than `tolerance` in any channel,
// leaving out a border of `border` pixels.
double DifferingShare( const Image& a, const Image& b, int tolerance, uint32_t border = 0 );
}// namespace plughost::validate
