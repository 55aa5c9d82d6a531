// The frei0r entry points of a bridge module. Each one catches everything:
// an exception must never unwind into the host.
#include "BridgeInstance.h"
#include "HostQuirks.h"
#include "Module.h"
#include "Report.h"

#include "Frei0rApi.h"

#include <atomic>
#include <new>

#define FREI0R_EXPORT extern "C" __attribute__( ( visibility( "default" ) ) )

using namespace ffglfrei0r;

namespace
{
// Set once one instance of the plug-in was made for real. The first
// f0r_construct in a process sets GL up at once, so that a plug-in that
// cannot instantiate (a shader that does not compile, no GL context) is
// refused there; later ones leave that to their first frame.
std::atomic< bool > provenToInstantiate{ false };

BridgeInstance* Bridge( f0r_instance_t instance )
{
	return static_cast< BridgeInstance* >( instance );
}

}// namespace

FREI0R_EXPORT int f0r_init()
{
	try
	{
		return InitModule() ? 1 : 0;
	}
	catch( ... )
	{
		return 0;
	}
}

FREI0R_EXPORT void f0r_deinit()
{
	try
	{
		DeinitModule();
	}
	catch( ... )
	{
	}
}

FREI0R_EXPORT void f0r_get_plugin_info( f0r_plugin_info_t* info )
{
	if( info == nullptr )
		return;
	try
	{
		info->color_model    = F0R_COLOR_MODEL_RGBA8888;
		info->frei0r_version = 1;// GStreamer accepts no other
		if( const PluginFacts* facts = Facts() )
		{
			info->name          = facts->name.c_str();
			info->author        = facts->author.c_str();
			info->explanation   = facts->explanation.c_str();
			info->plugin_type   = facts->frei0rType;
			info->major_version = facts->majorVersion;
			info->minor_version = facts->minorVersion;
			info->num_params    = static_cast< int >( facts->parameters.size() );
			return;
		}
		// The host may keep the name while the module is loaded.
		static const std::string unusable = Subject();
		info->name          = unusable.c_str();
		info->author        = "unknown";
		info->explanation   = "an FFGL plug-in that cannot be loaded";
		info->plugin_type   = F0R_PLUGIN_TYPE_FILTER;
		info->major_version = 0;
		info->minor_version = 0;
		info->num_params    = 0;
	}
	catch( ... )
	{
	}
}

FREI0R_EXPORT void f0r_get_param_info( f0r_param_info_t* info, int index )
{
	if( info == nullptr )
		return;
	try
	{
		const PluginFacts* facts = Facts();
		if( facts == nullptr || index < 0 || static_cast< std::size_t >( index ) >= facts->parameters.size() )
			return;
		const MappedParameter& parameter = facts->parameters[ static_cast< std::size_t >( index ) ];
		info->name        = parameter.name.c_str();
		info->type        = parameter.frei0rType;
		info->explanation = parameter.explanation.c_str();
	}
	catch( ... )
	{
	}
}

// Not inlined: its return address tells which host called (see HostQuirks.h).
FREI0R_EXPORT __attribute__( ( noinline ) ) f0r_instance_t f0r_construct( unsigned int width, unsigned int height )
{
	const void* caller = __builtin_extract_return_addr( __builtin_return_address( 0 ) );
	try
	{
		auto plugin = AcquirePlugin();
		if( !plugin )
			return nullptr;
		if( width == 0 || height == 0 || width > plughost::kMaxImageSide || height > plughost::kMaxImageSide )
		{
			ReportOnce( Subject(), "cannot make an instance of " + std::to_string( width ) + "x" + std::to_string( height ) +
									   ": each side must be 1 to " + std::to_string( plughost::kMaxImageSide ) );
			return nullptr;
		}
		if( const unsigned padded = PaddedRowOfCaller( caller, width ) )
			ReportOnce( Subject(), "ffmpeg lays out frames " + std::to_string( width ) + " pixels wide in rows of " +
									   std::to_string( padded ) +
									   ", which no frei0r plug-in can follow: the picture comes out sheared. Use a "
									   "width that is a multiple of 16" );
		auto* bridge = new BridgeInstance( std::move( plugin ), width, height, UnitOfCaller( caller ) );
		if( !provenToInstantiate.load() )
		{
			std::string reason;
			if( !bridge->SetUp( reason ) )
			{
				delete bridge;
				ReportOnce( Subject(), "cannot make an instance: " + reason );
				return nullptr;
			}
			provenToInstantiate.store( true );
		}
		return bridge;
	}
	catch( const std::bad_alloc& )
	{
		ReportOnce( Subject(), "cannot make an instance: out of memory" );
	}
	catch( const std::exception& error )
	{
		ReportOnce( Subject(), std::string( "cannot make an instance: " ) + error.what() );
	}
	catch( ... )
	{
	}
	return nullptr;
}

FREI0R_EXPORT void f0r_destruct( f0r_instance_t instance )
{
	try
	{
		delete Bridge( instance );
	}
	catch( ... )
	{
	}
}

FREI0R_EXPORT void f0r_set_param_value( f0r_instance_t instance, f0r_param_t param, int index )
{
	try
	{
		if( instance != nullptr )
			Bridge( instance )->SetParameter( index, param );
	}
	catch( ... )
	{
	}
}

FREI0R_EXPORT void f0r_get_param_value( f0r_instance_t instance, f0r_param_t param, int index )
{
	try
	{
		if( instance != nullptr )
			Bridge( instance )->GetParameter( index, param );
	}
	catch( ... )
	{
	}
}

FREI0R_EXPORT void f0r_update( f0r_instance_t instance, double time, const uint32_t* inframe, uint32_t* outframe )
{
	try
	{
		if( instance != nullptr )
			Bridge( instance )->Update( time, inframe, nullptr, outframe );
	}
	catch( ... )
	{
	}
}

FREI0R_EXPORT void f0r_update2( f0r_instance_t instance, double time, const uint32_t* inframe1, const uint32_t* inframe2,
								const uint32_t* inframe3, uint32_t* outframe )
{
	(void)inframe3;
	try
	{
		if( instance != nullptr )
			Bridge( instance )->Update( time, inframe1, inframe2, outframe );
	}
	catch( ... )
	{
	}
}
