#include "RenderCommand.h"

#include "RenderOptions.h"
#include "VideoSink.h"
#include "common/Animation.h"
#include "common/CrashNotice.h"
#include "common/ParameterSettings.h"
#include "common/PluginSetup.h"

#include <PlugHost.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace plughost::cli
{
namespace
{
namespace fs = std::filesystem;

void Progress( std::ostream& err, uint32_t done, uint32_t total )
{
	constexpr int kWidth = 30;
	const int filled     = static_cast< int >( static_cast< uint64_t >( done ) * kWidth / total );
	err << "\r[" << std::string( filled, '#' ) << std::string( kWidth - filled, ' ' ) << "] " << done << "/" << total
		<< ( done == total ? "\n" : "" ) << std::flush;
}

// Where the frames go: PNG files, or one YUV4MPEG2 stream.
class FrameOutput
{
public:
	explicit FrameOutput( const RenderOptions& given ) :
		options( given ),
		stem( OutputStem( given.plugin ) ),
		directory( given.outDir.value_or( "" ) )
	{
		if( options.Video() )
		{
			sink   = std::make_unique< VideoSink >( *options.out );
			writer = std::make_unique< Y4mWriter >(
				sink->File(), Y4mFormat{ options.width, options.height, options.fps, options.chroma, options.range } );
		}
	}

	void Write( uint32_t k, Image& frame )
	{
		// Video has no alpha: it always shows the frame over a background.
		if( options.background || writer )
			CompositeOver( frame, options.background.value_or( Background::Black() ) );
		if( writer )
		{
			try
			{
				writer->WriteFrame( frame );
			}
			catch( const Error& error )
			{
				throw Failure{ error.what() };
			}
			return;
		}
		if( k == 0 && !directory.empty() )
		{
			std::error_code error;
			fs::create_directories( directory, error );
			if( error )
				throw Failure{ "cannot create " + directory.string() + ": " + error.message() };
		}
		const fs::path file = options.frames ? directory / SequenceFileName( stem, k )
											 : ( options.out ? fs::path( *options.out ) : directory / ( stem + ".png" ) );
		WritePng( file.string(), frame );
		( k == 0 ? first : last ) = file.string();
	}

	std::string Summary( uint32_t frames )
	{
		const std::string size = "(" + std::to_string( options.width ) + "x" + std::to_string( options.height ) + ")";
		if( writer )
		{
			sink->Close();
			const std::string where = options.VideoToStdout() ? "standard output" : *options.out;
			return "wrote " + std::to_string( frames ) + ( frames == 1 ? " frame" : " frames" ) + " of video to " + where + " " + size;
		}
		if( !options.frames )
			return "wrote " + first + " " + size;
		if( frames == 1 )
			return "wrote 1 frame: " + first + " " + size;
		return "wrote " + std::to_string( frames ) + " frames: " + first + " .. " + last + " " + size;
	}

private:
	const RenderOptions& options;
	std::string stem;
	fs::path directory;
	std::unique_ptr< VideoSink > sink;
	std::unique_ptr< Y4mWriter > writer;
	std::string first, last;
};

int RunRender( const std::vector< std::string >& args, std::ostream& out, std::ostream& err )
{
	const RenderOptions options = ParseRenderArgs( args );
	AnnouncePluginCrashes();
	// First of all: on standard output nothing may come before the stream,
	// not even what a plug-in prints while it loads.
	FrameOutput output( options );
	PluginLibrary library( options.plugin );
	if( library.Initialise() != FF_SUCCESS )
		throw Failure{ options.plugin + ": the plug-in failed to initialise" };
	const auto parameters   = library.DescribeAll();
	const auto settings     = ResolveSettings( parameters, options.settings );
	const auto animations   = ResolveAnimations( parameters, options.animations );
	const Capabilities caps = library.Caps();
	CheckInputCount( library, caps, options.inputs.size() );
	PrintWarnings( err, settings );
	for( const auto& animation : animations )
		for( const auto& warning : animation.warnings )
			err << "plughost: warning: " << warning << "\n";
	const std::vector< Image > images = ReadInputs( options.inputs );

	// On standard output the stream is all there is: the summary goes to stderr.
	std::ostream& messages = options.VideoToStdout() ? err : out;
	GLContext context;
	const InputTextures textures = UploadInputs( images );
	RenderTarget target( options.width, options.height );
	Instance instance( library, options.width, options.height );
	ApplySettings( instance, settings );

	const uint32_t frames   = options.frames.value_or( 1 );
	const bool showProgress = options.frames && isatty( STDERR_FILENO );
	FramePacer pacer( options.fps );
	for( uint32_t k = 0; k < frames; ++k )
	{
		if( options.frames && options.pacing )
			pacer.WaitFor( k );
		for( const auto& animation : animations )
			if( instance.SetFloat( animation.index, animation.At( k, frames ) ) != FF_SUCCESS )
				throw Failure{ "the plug-in refused the value for \"" + animation.name + "\" on frame " + std::to_string( k ) };
		if( caps.timeSupported )
			instance.SetTime( options.startTime + static_cast< double >( k ) / options.fps );
		if( RenderFrame( instance, target, textures.inputs ) != FF_SUCCESS )
			throw Failure{ options.plugin + ": the plug-in failed to render frame " + std::to_string( k ) };
		Image frame = target.ReadPixels();
		output.Write( k, frame );
		if( showProgress )
			Progress( err, k + 1, frames );
	}
	messages << output.Summary( frames ) << "\n";
	if( pacer.LateFrames() > 0 )
		err << "plughost: note: " << pacer.LateFrames() << " of " << frames << " frames started late (by up to "
			<< static_cast< int >( pacer.WorstLateness() * 1000.0 + 0.5 ) << " ms): rendering and writing ran slower than "
			<< FormatNumber( static_cast< float >( options.fps ) ) << " fps\n";
	return kExitOk;
}
}// namespace

std::string OutputStem( const std::string& pluginPath )
{
	std::string stem = fs::path( pluginPath ).stem().string();
	return stem.empty() ? "frame" : stem;
}

std::string SequenceFileName( const std::string& stem, uint32_t frame )
{
	char number[ 16 ];
	std::snprintf( number, sizeof number, "%04u", frame );
	return stem + "_" + number + ".png";
}

CommandSpec RenderCommand()
{
	return { "render", "render PLUGIN.so", "render a frame, a sequence of PNG files or a video", RenderUsage, RunRender };
}
}// namespace plughost::cli
