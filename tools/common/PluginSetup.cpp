#include "PluginSetup.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace plughost::cli
{
std::vector< Image > ReadInputs( const std::vector< std::string >& paths )
{
	std::vector< Image > images;
	for( const auto& path : paths )
	{
		if( !std::filesystem::exists( path ) )
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

void PrintWarnings( std::ostream& err, const std::vector< ResolvedSetting >& settings )
{
	for( const auto& setting : settings )
		if( !setting.warning.empty() )
			err << "plughost: warning: " << setting.warning << "\n";
}

uint32_t GeneratedInputCount( const PluginLibrary& library, const Capabilities& caps )
{
	const uint32_t type   = library.Identity().type;
	const uint32_t wanted = type == FF_MIXER ? 2 : type == FF_EFFECT ? 1 : 0;
	return std::min( std::max( wanted, type == FF_SOURCE ? 0u : caps.minimumInputs ), caps.maximumInputs );
}

InputTextures UploadInputs( const std::vector< Image >& images )
{
	InputTextures textures;
	for( const Image& image : images )
	{
		textures.owned.push_back( std::make_unique< InputTexture >( image, NextPowerOfTwo( image.width ), NextPowerOfTwo( image.height ) ) );
		textures.inputs.push_back( textures.owned.back().get() );
	}
	return textures;
}
}// namespace plughost::cli
