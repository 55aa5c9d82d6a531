#include "LoadedPlugin.h"

#include "Frei0rApi.h"
#include <ffgl/FFGL.h>

#include <unistd.h>

namespace ffglfrei0r
{
namespace
{
int Frei0rType( uint32_t ffglType )
{
	switch( ffglType )
	{
	case FF_SOURCE:
		return F0R_PLUGIN_TYPE_SOURCE;
	case FF_EFFECT:
		return F0R_PLUGIN_TYPE_FILTER;
	case FF_MIXER:
		return F0R_PLUGIN_TYPE_MIXER2;
	default:
		throw plughost::Error( "its plug-in type " + std::to_string( ffglType ) + " is none of source, effect and mixer" );
	}
}
}// namespace

LoadedPlugin::LoadedPlugin( int fd, const std::string& path ) : payloadFd( fd )
{
	try
	{
		plughost::LoadOptions options;
		// The host log is not ours to keep: messages would pile up for ever.
		options.captureLog = false;
		library            = std::make_unique< plughost::PluginLibrary >( path, options );
		const auto& identity = library->Identity();
		facts.name           = identity.name;
		facts.ffglType       = identity.type;
		facts.frei0rType     = Frei0rType( identity.type );
		if( library->Initialise() != FF_SUCCESS )
			throw plughost::Error( "the plug-in failed to initialise" );
		if( const auto extended = library->Extended() )
		{
			facts.explanation  = extended->description;
			facts.author       = extended->about;
			facts.majorVersion = static_cast< int >( extended->majorVersion );
			facts.minorVersion = static_cast< int >( extended->minorVersion );
		}
		if( facts.author.empty() )
			facts.author = "unknown";
		if( facts.explanation.empty() )
			facts.explanation = "FFGL plug-in " + facts.name;
		facts.timeSupported = library->Caps().timeSupported;
		for( const auto& description : library->DescribeAll() )
		{
			const std::string displayName = plughost::QueryText( *library, FF_GET_PARAM_DISPLAY_NAME, description.index, nullptr ).value_or( "" );
			facts.parameters.push_back( MapParameter( description, displayName ) );
		}
	}
	catch( ... )
	{
		library.reset();
		close( payloadFd );
		throw;
	}
}

LoadedPlugin::~LoadedPlugin()
{
	library.reset();
	close( payloadFd );
}
}// namespace ffglfrei0r
