// Loading: both dlopen modes, the two entry points, exported symbols, two
// copies side by side, and unloading.
#include "ElfSymbols.h"
#include "Harness.h"

#include <EntryPointValues.h>

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>

namespace plughost::validate
{
namespace
{
namespace fs = std::filesystem;

std::string Describe( const PluginIdentity& identity )
{
	return "\"" + identity.name + "\" (" + identity.id + ")";
}

void Load( Harness& h )
{
	const PluginIdentity& identity = h.Library().Identity();
	h.Fact( "id", identity.id );
	h.Fact( "name", identity.name );
	h.Fact( "type", PluginTypeName( identity.type ) );
	h.Fact( "api", std::to_string( identity.apiMajorVersion ) + "." + std::to_string( identity.apiMinorVersion ) );
	h.Passed( "dlopen(RTLD_NOW | RTLD_LOCAL) loads it and " + Request( FF_GET_INFO ) + " answers " + Describe( identity ) );
}

void LoadGlobal( Harness& h )
{
	h.Step( "loading the library with RTLD_GLOBAL" );
	try
	{
		LoadOptions options;
		options.globalSymbols = true;
		PluginLibrary library( h.settings.plugin, options );
		h.Step( Request( FF_INITIALISE_V2 ) + " after loading with RTLD_GLOBAL" );
		if( library.Initialise() != FF_SUCCESS )
			h.Fail( Request( FF_INITIALISE_V2 ) + " answered failure after loading with RTLD_GLOBAL; expected success" );
		h.Passed( "dlopen(RTLD_NOW | RTLD_GLOBAL) loads it and " + Request( FF_INITIALISE_V2 ) + " succeeds" );
		h.Step( "unloading the library loaded with RTLD_GLOBAL (" + Request( FF_DEINITIALISE ) + ", then dlclose)" );
	}
	catch( const Error& error )
	{
		h.Fail( std::string( "with RTLD_GLOBAL: " ) + error.what() );
	}
}

void LogSink( const char* )
{
}

void EntryPoints( Harness& h )
{
	h.Step( "loading the library (dlopen)" );
	// Without a slash dlopen would search the library path instead.
	const std::string path = h.settings.plugin.find( '/' ) == std::string::npos ? "./" + h.settings.plugin : h.settings.plugin;
	void* handle = dlopen( path.c_str(), RTLD_NOW | RTLD_LOCAL );
	if( handle == nullptr )
		h.Abort( std::string( "dlopen failed: " ) + dlerror() );
	auto* plugMain = reinterpret_cast< FF_Main_FuncPtr >( dlsym( handle, "plugMain" ) );
	auto* setLog   = reinterpret_cast< FF_SetLogCallback_FuncPtr >( dlsym( handle, "SetLogCallback" ) );
	for( const auto& [ symbol, name ] : { std::pair{ (void*)plugMain, "plugMain" }, std::pair{ (void*)setLog, "SetLogCallback" } } )
		if( symbol == nullptr )
			h.Fail( std::string( name ) + " is not exported; expected both entry points, plugMain and SetLogCallback" );
	if( plugMain == nullptr || setLog == nullptr )
		return;
	// Messages must be dropped without a callback, and go to the one given.
	h.Step( "SetLogCallback(null), then " + Request( FF_INITIALISE_V2 ) + " and " + Request( FF_DEINITIALISE ) );
	setLog( nullptr );
	plugMain( FF_INITIALISE_V2, MixedU( 0 ), nullptr );
	plugMain( FF_DEINITIALISE, MixedU( 0 ), nullptr );
	h.Step( "SetLogCallback(a callback), then " + Request( FF_INITIALISE_V2 ) + " and " + Request( FF_DEINITIALISE ) );
	setLog( LogSink );
	plugMain( FF_INITIALISE_V2, MixedU( 0 ), nullptr );
	plugMain( FF_DEINITIALISE, MixedU( 0 ), nullptr );
	setLog( nullptr );
	h.Passed( "plugMain and SetLogCallback are exported; logging works with and without a callback" );
}

void Exports( Harness& h )
{
	h.Step( "reading the dynamic symbol table" );
	std::vector< std::string > symbols;
	try
	{
		symbols = ExportedSymbols( h.settings.plugin );
	}
	catch( const std::exception& error )
	{
		h.Abort( "cannot read the exported symbols: " + std::string( error.what() ) );
	}
	std::vector< std::string > others;
	for( const auto& symbol : symbols )
		if( symbol != "plugMain" && symbol != "SetLogCallback" )
			others.push_back( symbol );
	if( others.empty() )
	{
		h.Passed( "exports exactly plugMain and SetLogCallback" );
		return;
	}
	std::string list;
	for( std::size_t i = 0; i < others.size() && i < 5; ++i )
		list += ( i ? ", " : "" ) + others[ i ];
	h.Warn( std::to_string( others.size() ) + " more exported symbol" + ( others.size() == 1 ? "" : "s" ) + " (" + list +
			( others.size() > 5 ? ", ..." : "" ) +
			"); expected only plugMain and SetLogCallback: two plug-ins in one host may bind to each other's symbols" );
}

// Fresh values of `instance` read through `library`.
std::vector< float > ValuesOf( Harness& h, PluginLibrary& library, Instance& instance, const std::string& copy )
{
	std::vector< float > values;
	for( const Param& param : h.Params() )
	{
		h.Step( Request( FF_GET_PARAMETER ) + " for " + param.Label() + " on copy " + copy );
		values.push_back( param.text || !param.known ? 0.0f
												   : library.Call( FF_GET_PARAMETER, MixedU( param.index ), instance.Handle() ).FloatValue );
	}
	return values;
}

void SeparateCopies( Harness& h )
{
	h.UseGL();
	const auto& params = h.Params();
	// Two copies under different paths: the loader treats them as two
	// libraries. They are unlinked once loaded; the mappings stay.
	char pattern[] = "/tmp/plughost-validate-XXXXXX";
	if( mkdtemp( pattern ) == nullptr )
		h.Abort( "cannot make a scratch directory in /tmp" );
	const fs::path directory = pattern, source = h.settings.plugin;
	std::unique_ptr< PluginLibrary > copies[ 2 ];
	std::error_code error;
	for( int c = 0; c < 2; ++c )
	{
		const fs::path copy = directory / ( std::string( c == 0 ? "a-" : "b-" ) + source.filename().string() );
		fs::copy_file( source, copy, error );
		h.Step( std::string( "loading copy " ) + ( c == 0 ? "A" : "B" ) + " from " + copy.string() );
		try
		{
			if( !error )
				copies[ c ] = std::make_unique< PluginLibrary >( copy.string() );
		}
		catch( const Error& failure )
		{
			fs::remove_all( directory, error );
			h.Abort( std::string( "copy " ) + ( c == 0 ? "A" : "B" ) + ": " + failure.what() );
		}
	}
	fs::remove_all( directory, error );
	if( !copies[ 0 ] || !copies[ 1 ] )
		h.Abort( "cannot copy the library into " + directory.string() );
	PluginLibrary &a = *copies[ 0 ], &b = *copies[ 1 ];
	if( a.Call( FF_GET_INFO, MixedU( 0 ) ).PointerValue == b.Call( FF_GET_INFO, MixedU( 0 ) ).PointerValue )
		h.Abort( "both copies answer " + Request( FF_GET_INFO ) + " with the same record: the loader shares one image" );
	for( auto [ copy, name ] : { std::pair{ &a, "A" }, std::pair{ &b, "B" } } )
	{
		h.Step( Request( FF_INITIALISE_V2 ) + " on copy " + name );
		if( copy->Initialise() != FF_SUCCESS )
			h.Abort( Request( FF_INITIALISE_V2 ) + " on copy " + name + " answered failure; expected success" );
	}

	h.Step( Request( FF_INSTANTIATE_GL ) + " on copy A and on copy B" );
	auto instanceA = std::make_unique< Instance >( a, 64, 48 );
	auto instanceB = std::make_unique< Instance >( b, 64, 48 );
	Instance &onA = *instanceA, &onB = *instanceB;
	const std::vector< float > before = ValuesOf( h, b, onB, "B" );
	a.ClearLog();
	b.ClearLog();
	for( const Param& param : params )
		if( param.known && !param.text )
		{
			h.Step( Request( FF_SET_PARAMETER ) + " for " + param.Label() + " on copy A" );
			onA.SetFloat( param.index, param.DistinctValue() );
		}
	const std::vector< float > after = ValuesOf( h, b, onB, "B" );
	for( std::size_t i = 0; i < params.size(); ++i )
		if( !SameValue( before[ i ], after[ i ] ) )
			h.Fail( "setting " + params[ i ].Label() + " to " + Shown( params[ i ].DistinctValue() ) +
					" through copy A changed it in copy B: expected " + Shown( before[ i ] ) + ", got " + Shown( after[ i ] ) );
	{
		h.Step( Request( FF_INSTANTIATE_GL ) + " on copy B, looking for messages in copy A's log" );
		Instance another( b, 32, 32 );
		if( a.CapturingLog() && !a.Log().empty() )
			h.Fail( "copy B's " + Request( FF_INSTANTIATE_GL ) + " logged through copy A's callback: \"" + a.Log().back() +
					"\"; expected each copy to keep its own SetLogCallback" );
		h.Step( Request( FF_DEINSTANTIATE_GL ) + " of the second instance on copy B" );
	}
	h.Step( Request( FF_DEINITIALISE ) + " on copy B, then " + Request( FF_GET_NUM_PARAMETERS ) + " on copy A" );
	b.DeInitialise();
	if( a.CallU( FF_GET_NUM_PARAMETERS ) != params.size() )
		h.Fail( "after " + Request( FF_DEINITIALISE ) + " on copy B, copy A's " + Request( FF_GET_NUM_PARAMETERS ) +
				" answers " + Shown( float( a.CallU( FF_GET_NUM_PARAMETERS ) ) ) + "; expected " + std::to_string( params.size() ) );
	Stage stage( h, 64, 48 );
	if( stage.Frame( onA, "on copy A after copy B was de-initialised" ) != FF_SUCCESS )
		h.Fail( Request( FF_PROCESS_OPENGL ) + " on copy A answered failure after " + Request( FF_DEINITIALISE ) +
				" on copy B; expected success" );
	h.Step( Request( FF_DEINSTANTIATE_GL ) + " on copy A" );
	instanceA.reset();
	h.Step( Request( FF_DEINSTANTIATE_GL ) + " on copy B, after its " + Request( FF_DEINITIALISE ) );
	instanceB.reset();
	h.Step( "unloading copy B (dlclose)" );
	copies[ 1 ].reset();
	h.Step( "unloading copy A (" + Request( FF_DEINITIALISE ) + ", then dlclose)" );
	copies[ 0 ].reset();
	h.Passed( "two copies keep their own values, log and prototype" );
}

void Reload( Harness& h )
{
	// Only libraries of its own: one the harness holds would stay loaded.
	h.UseGL();
	std::string first;
	for( int round = 1; round <= 2; ++round )
	{
		const std::string which = round == 1 ? "" : " after unloading and loading again";
		h.Step( "loading the library" + which );
		std::unique_ptr< PluginLibrary > library;
		try
		{
			library = std::make_unique< PluginLibrary >( h.settings.plugin );
		}
		catch( const Error& error )
		{
			h.Abort( error.what() + which );
		}
		const std::string identity = Describe( library->Identity() );
		if( round == 1 )
			first = identity;
		else if( identity != first )
			h.Fail( Request( FF_GET_INFO ) + which + " answers " + identity + "; expected " + first );
		h.Step( Request( FF_INITIALISE_V2 ) + which );
		if( library->Initialise() != FF_SUCCESS )
			h.Abort( Request( FF_INITIALISE_V2 ) + " answered failure" + which + "; expected success" );
		{
			h.Step( Request( FF_INSTANTIATE_GL ) + " at 64x48" + which );
			Instance instance( *library, 64, 48 );
			RenderTarget target( 64, 48 );
			target.Clear();
			h.Step( Request( FF_PROCESS_OPENGL ) + " at 64x48" + which );
			std::vector< FFGLTextureStruct > inputs;
			std::vector< std::unique_ptr< InputTexture > > textures;
			for( uint32_t i = 0; i < FrameInputs( *library ); ++i )
			{
				textures.push_back( std::make_unique< InputTexture >( TestPicture( 64, 48, i ) ) );
				inputs.push_back( textures.back()->Texture() );
			}
			target.Bind();
			if( instance.ProcessFrame( inputs ) != FF_SUCCESS )
				h.Fail( Request( FF_PROCESS_OPENGL ) + " answered failure" + which + "; expected success" );
			h.Step( Request( FF_DEINSTANTIATE_GL ) + which );
		}
		h.Step( "unloading the library (" + Request( FF_DEINITIALISE ) + ", then dlclose)" + which );
		library.reset();
	}
	h.Passed( "unloads cleanly and works again after loading a second time" );
}
}// namespace

void AddLibraryChecks( std::vector< CheckSpec >& checks )
{
	const std::string g = "library";
	// These load and initialise on their own terms; the harness's library
	// is only asked about its identity and parameters.
	auto own = []( void ( *run )( Harness& ) ) {
		return [ run ]( Harness& h ) {
			h.KeepUninitialised();
			run( h );
		};
	};
	checks.push_back( { g, "load", "loads with dlopen(RTLD_NOW | RTLD_LOCAL) and answers code 0", own( Load ) } );
	checks.push_back( { g, "load-global", "loads with dlopen(RTLD_NOW | RTLD_GLOBAL)", own( LoadGlobal ) } );
	checks.push_back( { g, "entry-points", "exports plugMain and SetLogCallback; logging works with and without a callback",
						own( EntryPoints ) } );
	checks.push_back( { g, "exports", "exports nothing else (WARN)", own( Exports ) } );
	checks.push_back( { g, "separate-copies", "two copies loaded from different paths share no state", own( SeparateCopies ) } );
	checks.push_back( { g, "reload", "unloads with dlclose and works again when loaded a second time", own( Reload ) } );
}
}// namespace plughost::validate
