#include "PluginLibrary.h"

#include "EntryPointValues.h"
#include "Requests.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace plughost
{
namespace
{
std::string DlError()
{
	const char* text = dlerror();
	return text ? text : "unknown dynamic loader error";
}
}// namespace

PluginLibrary::PluginLibrary( const std::string& libraryPath, LoadOptions options ) : path( libraryPath )
{
	struct stat status
	{
	};
	if( path.empty() || stat( path.c_str(), &status ) != 0 )
		throw Error( "no such file: " + path );
	if( S_ISDIR( status.st_mode ) )
		throw Error( "cannot load " + path + ": it is a directory" );

	// Without a slash dlopen would search the system library path and could
	// load a different file of the same name.
	const std::string openPath = path.find( '/' ) == std::string::npos ? "./" + path : path;
	dlerror();
	handle = dlopen( openPath.c_str(), RTLD_NOW | ( options.globalSymbols ? RTLD_GLOBAL : RTLD_LOCAL ) );
	if( handle == nullptr )
		throw Error( "cannot load " + path + ": " + DlError() );

	plugMain = reinterpret_cast< FF_Main_FuncPtr >( dlsym( handle, "plugMain" ) );
	if( plugMain == nullptr )
	{
		Unload();
		throw Error( path + " is not an FFGL plug-in: it has no plugMain" );
	}
	setLogCallback = reinterpret_cast< FF_SetLogCallback_FuncPtr >( dlsym( handle, "SetLogCallback" ) );
	if( setLogCallback != nullptr && options.captureLog )
		log = SharedLog::For( handle, setLogCallback );

	const auto* info = static_cast< const PluginInfoStruct* >( Call( FF_GET_INFO, MixedU( 0 ) ).PointerValue );
	if( IsFailedPointer( info ) )
	{
		Unload();
		throw Error( path + " is not a usable FFGL plug-in: it answered failure to the identity request" );
	}
	identity.id              = CopyField( info->PluginUniqueID, sizeof info->PluginUniqueID );
	identity.name            = CopyField( info->PluginName, sizeof info->PluginName );
	identity.type            = info->PluginType;
	identity.apiMajorVersion = info->APIMajorVersion;
	identity.apiMinorVersion = info->APIMinorVersion;
}

PluginLibrary::~PluginLibrary()
{
	Unload();
}

void PluginLibrary::Unload() noexcept
{
	if( handle == nullptr )
		return;
	if( initialised && plugMain != nullptr )
		Call( FF_DEINITIALISE, MixedU( 0 ), nullptr );
	initialised = false;
	// Before dlclose: the last user takes its trampoline back from the plug-in.
	log.reset();
	dlclose( handle );
	handle         = nullptr;
	plugMain       = nullptr;
	setLogCallback = nullptr;
}

FFMixed PluginLibrary::Call( uint32_t code, FFMixed input, void* instance ) const
{
	const RequestMark mark( code );
	return plugMain( code, input, instance );
}

uint32_t PluginLibrary::CallU( uint32_t code, uint32_t input, void* instance ) const
{
	return Call( code, MixedU( input ), instance ).UIntValue;
}

uint32_t PluginLibrary::CallP( uint32_t code, const void* input, void* instance ) const
{
	return Call( code, MixedP( input ), instance ).UIntValue;
}

std::vector< std::string > PluginLibrary::Log() const
{
	return log ? log->Store().Messages() : std::vector< std::string >{};
}

void PluginLibrary::ClearLog()
{
	if( log )
		log->Store().Clear();
}

uint32_t PluginLibrary::Initialise()
{
	const uint32_t result = CallU( FF_INITIALISE_V2 );
	if( result == FF_SUCCESS )
		initialised = true;
	return result;
}

uint32_t PluginLibrary::DeInitialise()
{
	const uint32_t result = CallU( FF_DEINITIALISE );
	initialised           = false;
	return result;
}
}// namespace plughost
