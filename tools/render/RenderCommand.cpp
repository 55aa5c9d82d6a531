#include "RenderCommand.h"

#include "RenderOptions.h"
#include "common/ParameterSettings.h"

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

std::vector< Image > ReadInputs( const std::vector< std::string >& paths )
{
	std::vector< Image > images;
	for( const auto& path : paths )
	{
		if( !fs::exists( path ) )
			throw UsageError( "--input: no such file: " + path );
		try
		{
			images.push_back( ReadPng( path ) );
		}
		catch( const Error& error )
		{
			throw UsageError( std::string( "--input: " ) + error.what() );
		}
	}
	return images;
}

void CheckInputCount( const PluginLibrary& library, const Capabilities& caps, std::size_t given )
{
	const uint32_t type = library.Identity().type;
	// A source may declare inputs without reading them; only effects and
	// mixers cannot render without their pictures.
	if( ( type == FF_EFFECT || type == FF_MIXER ) && given < caps.minimumInputs )
		throw UsageError( library.Identity().name + " is " + ( type == FF_EFFECT ? "an effect" : "a mixer" ) + " and needs at least " +
						  std::to_string( caps.minimumInputs ) + " --input picture(s), got " + std::to_string( given ) );
	if( given > caps.maximumInputs )
		throw UsageError( library.Identity().name + " takes at most " + std::to_string( caps.maximumInputs ) +
						  " input(s), got " + std::to_string( given ) );
}

void ApplySettings( Instance& instance, const std::vector< ResolvedSetting >& settings )
{
	for( const auto& setting : settings )
	{
		const uint32_t result = setting.isText ? instance.SetText( setting.index, setting.text )
											   : instance.SetFloat( setting.index, setting.number );
		if( result != FF_SUCCESS )
			throw Failure{ "the plug-in refused the value for \"" + setting.name + "\"" };
	}
}

int RunRender( const std::vector< std::string >& args, std::ostream& out, std::ostream& err )
{
	const RenderOptions options = ParseRenderArgs( args );
	PluginLibrary library( options.plugin );
	if( library.Initialise() != FF_SUCCESS )
		throw Failure{ options.plugin + ": the plug-in failed to initialise" };
	const auto parameters = library.DescribeAll();
	const auto settings   = ResolveSettings( parameters, options.settings );
	const Capabilities caps = library.Caps();
	CheckInputCount( library, caps, options.inputs.size() );
	for( const auto& setting : settings )
		if( !setting.warning.empty() )
			err << "plughost: warning: " << setting.warning << "\n";
	const std::vector< Image > images = ReadInputs( options.inputs );

	const fs::path directory = options.outDir.value_or( "" );
	if( !directory.empty() )
	{
		std::error_code error;
		fs::create_directories( directory, error );
		if( error )
			throw Failure{ "cannot create " + directory.string() + ": " + error.message() };
	}
	const std::string stem = OutputStem( options.plugin );

	GLContext context;
	std::vector< std::unique_ptr< InputTexture > > textures;
	std::vector< const InputTexture* > inputs;
	for( const Image& image : images )
	{
		// Real hosts often hand over power-of-two allocations; do the same so
		// plug-ins meet padded textures here too.
		textures.push_back( std::make_unique< InputTexture >( image, NextPowerOfTwo( image.width ), NextPowerOfTwo( image.height ) ) );
		inputs.push_back( textures.back().get() );
	}
	RenderTarget target( options.width, options.height );
	Instance instance( library, options.width, options.height );
	ApplySettings( instance, settings );

	const uint32_t frames = options.frames.value_or( 1 );
	const bool showProgress = options.frames && isatty( STDERR_FILENO );
	std::string first, last;
	for( uint32_t k = 0; k < frames; ++k )
	{
		if( caps.timeSupported )
			instance.SetTime( static_cast< double >( k ) / options.fps );
		if( RenderFrame( instance, target, inputs ) != FF_SUCCESS )
			throw Failure{ options.plugin + ": the plug-in failed to render frame " + std::to_string( k ) };
		const fs::path file = options.frames ? directory / SequenceFileName( stem, k )
											 : ( options.out ? fs::path( *options.out ) : directory / ( stem + ".png" ) );
		WritePng( file.string(), target.ReadPixels() );
		( k == 0 ? first : last ) = file.string();
		if( showProgress )
			Progress( err, k + 1, frames );
	}
	const std::string size = "(" + std::to_string( options.width ) + "x" + std::to_string( options.height ) + ")";
	if( !options.frames )
		out << "wrote " << first << " " << size << "\n";
	else if( frames == 1 )
		out << "wrote 1 frame: " << first << " " << size << "\n";
	else
		out << "wrote " << frames << " frames: " << first << " .. " << last << " " << size << "\n";
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
	return { "render", "render PLUGIN.so", "render one frame or a sequence into PNG files", RenderUsage, RunRender };
}
}// namespace plughost::cli
