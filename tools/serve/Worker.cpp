#include "Worker.h"

#include "WorkerProtocol.h"
#include "bench/BenchCommand.h"
#include "common/PluginSetup.h"

#include <PlugHost.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <memory>
#include <set>

namespace plughost::cli::serve
{
namespace
{
double MillisecondsSince( std::chrono::steady_clock::time_point start )
{
	return std::chrono::duration< double, std::milli >( std::chrono::steady_clock::now() - start ).count();
}

// Messages name the file the user gave, not the private copy we load.
std::string Unaliased( std::string text, const std::string& copy, const std::string& original )
{
	if( copy.empty() )
		return text;
	for( std::size_t at = text.find( copy ); at != std::string::npos; at = text.find( copy, at + original.size() ) )
		text.replace( at, copy.size(), original );
	return text;
}

class Worker
{
public:
	explicit Worker( const ChildChannel& channel ) : channel( channel ) {}

	int Run()
	{
		for( ;; )
		{
			const auto received = channel.Receive();
			if( !received )
				return 0;
			std::string answer;
			try
			{
				const Message request = Decode( *received );
				const std::string op  = request.json.value( "op", "" );
				if( op == "quit" )
					return 0;
				if( op == "load" )
					answer = Encode( Load( request.json ) );
				else if( op == "set" && instance )
					answer = Encode( Set( request.json ) );
				else if( op == "frame" && instance )
					answer = Frame( request.json );
				else
					answer = Encode( { { "ok", false }, { "error", "unexpected request \"" + op + "\"" } } );
			}
			catch( const std::exception& error )
			{
				answer = Encode( { { "ok", false }, { "error", Unaliased( error.what(), copy, original ) }, { "log", TakeLog() } } );
			}
			if( !channel.Send( answer ) )
				return 0;
		}
	}

private:
	const ChildChannel& channel;
	std::string copy, original;
	// Declared in the order of making; destroyed the other way round, so the
	// instance goes while its library and the context are still there.
	std::unique_ptr< GLContext > context;
	std::unique_ptr< PluginLibrary > library;
	Capabilities caps;
	std::vector< ParameterDescription > described;
	std::vector< std::string > displays;
	InputTextures textures;
	std::unique_ptr< RenderTarget > target;
	std::unique_ptr< Instance > instance;
	std::vector< uint32_t > pressed;// event parameters to release after the frame

	Json Load( const Json& request )
	{
		if( library )
			return { { "ok", false }, { "error", "a plug-in is already loaded" } };
		copy     = request.at( "plugin" ).get< std::string >();
		original = request.value( "name", copy );
		std::string stage = "load";
		try
		{
			library = std::make_unique< PluginLibrary >( copy );
			stage   = "initialise";
			if( library->Initialise() != FF_SUCCESS )
				throw Error( "the plug-in failed to initialise (code 34)" );
			stage     = "describe";
			described = library->DescribeAll();
			caps      = library->Caps();
			stage     = "inputs";
			const auto width    = request.at( "width" ).get< uint32_t >();
			const auto height   = request.at( "height" ).get< uint32_t >();
			std::vector< Image > images = ReadInputs( request.at( "inputs" ).get< std::vector< std::string > >() );
			// Effects and mixers short of pictures get test patterns.
			const uint32_t needed    = GeneratedInputCount( *library, caps );
			const uint32_t generated = images.size() < needed ? needed - static_cast< uint32_t >( images.size() ) : 0u;
			for( Image& pattern : TestPatterns( generated, width, height ) )
				images.push_back( std::move( pattern ) );
			if( images.size() > caps.maximumInputs )
				images.resize( caps.maximumInputs );
			stage    = "context";
			context  = std::make_unique< GLContext >();
			stage    = "instantiate";
			textures = UploadInputs( images );
			target   = std::make_unique< RenderTarget >( width, height );
			instance = std::make_unique< Instance >( *library, width, height );
			stage    = "restore values";
			Json applied = Json::array();
			for( const auto& carried : request.at( "values" ) )
				if( Restore( CarriedFromJson( carried ) ) )
					applied.push_back( carried.at( "name" ) );
			displays.assign( described.size(), {} );
			Json parameters = Json::array();
			for( uint32_t i = 0; i < described.size(); ++i )
				parameters.push_back( ToJson( Read( i ) ) );
			return { { "ok", true },
					 { "identity", Identity() },
					 { "inputs", { { "given", images.size() - generated }, { "generated", generated } } },
					 { "parameters", parameters },
					 { "applied", applied },
					 { "log", TakeLog() } };
		}
		catch( const std::exception& error )
		{
			return { { "ok", false }, { "stage", stage }, { "error", Unaliased( error.what(), copy, original ) }, { "log", TakeLog() } };
		}
	}

	bool Restore( const CarriedValue& carried )
	{
		for( const auto& parameter : described )
			if( parameter.name == carried.name && parameter.type == carried.type && parameter.type != FF_TYPE_BUFFER &&
				parameter.type != FF_TYPE_EVENT )
				return ( IsTextType( parameter.type ) ? instance->SetText( parameter.index, carried.text )
													  : instance->SetFloat( parameter.index, carried.value ) ) == FF_SUCCESS;
		return false;
	}

	Json Identity() const
	{
		const PluginIdentity& identity = library->Identity();
		const auto extended            = library->Extended();
		return { { "id", identity.id },
				 { "name", identity.name },
				 { "type", PluginTypeName( identity.type ) },
				 { "api", std::to_string( identity.apiMajorVersion ) + "." + std::to_string( identity.apiMinorVersion ) },
				 { "version", extended ? std::to_string( extended->majorVersion ) + "." + std::to_string( extended->minorVersion ) : "" },
				 { "description", extended ? extended->description : "" },
				 { "about", extended ? extended->about : "" },
				 { "time", caps.timeSupported },
				 { "minInputs", caps.minimumInputs },
				 { "maxInputs", caps.maximumInputs } };
	}

	ParameterState Read( uint32_t index )
	{
		ParameterState state;
		state.description  = described[ index ];
		void* handle       = instance->Handle();
		state.description.visible = library->Visible( index, handle ).value_or( state.description.visible );
		if( const auto count = library->ElementCount( index, handle ); count && *count < 65536 )
		{
			state.description.elements.clear();
			for( uint32_t e = 0; e < *count; ++e )
				state.description.elements.push_back( { library->ElementName( index, e, handle ).value_or( "" ),
														library->ElementValue( index, e, handle ) } );
		}
		state.displayName = instance->DisplayName( index ).value_or( "" );
		if( IsTextType( state.description.type ) )
			state.text = instance->GetText( index ).value_or( "" );
		else
			state.value = instance->GetFloat( index ).value_or( 0.0f );
		state.display      = instance->Display( index ).value_or( "" );
		displays[ index ] = state.display;
		return state;
	}

	// Parameters whose events the plug-in raised or whose display text moved,
	// with `touched` ones, read afresh.
	Json Changes( std::set< uint32_t > touched )
	{
		for( int round = 0; round < 64; ++round )
		{
			const auto events = instance->ConsumeEvents( 64 );
			for( const auto& event : events )
				touched.insert( event.ParameterNumber );
			if( events.size() < 64 )
				break;
		}
		for( uint32_t i = 0; i < described.size(); ++i )
			if( instance->Display( i ).value_or( "" ) != displays[ i ] )
				touched.insert( i );
		Json changes = Json::array();
		for( uint32_t index : touched )
			if( index < described.size() )
				changes.push_back( ToJson( Read( index ) ) );
		return changes;
	}

	Json TakeLog()
	{
		if( !library )
			return Json::array();
		Json log = Json::array();
		for( const auto& message : library->Log() )
			log.push_back( message );
		library->ClearLog();
		return log;
	}

	Json Set( const Json& request )
	{
		const auto index = request.at( "index" ).get< uint32_t >();
		if( index >= described.size() )
			return { { "ok", false }, { "error", "no parameter " + std::to_string( index ) } };
		const uint32_t type = described[ index ].type;
		uint32_t result     = FF_FAIL;
		if( IsTextType( type ) )
			result = instance->SetText( index, request.at( "text" ).get< std::string >() );
		else
		{
			const float value = request.at( "value" ).get< float >();
			result            = instance->SetFloat( index, value );
			if( type == FF_TYPE_EVENT && value > 0.5f )
				pressed.push_back( index );
		}
		Json answer = { { "ok", result == FF_SUCCESS }, { "changes", Changes( { index } ) }, { "log", TakeLog() } };
		if( result != FF_SUCCESS )
			answer[ "error" ] = "the plug-in refused the value (code 8 answered failure)";
		return answer;
	}

	std::string Frame( const Json& request )
	{
		const auto start = std::chrono::steady_clock::now();
		if( caps.timeSupported )
			instance->SetTime( request.at( "time" ).get< double >() );
		const uint32_t result = RenderFrame( *instance, *target, textures.inputs );
		Image image           = target->ReadPixels();
		const double render   = MillisecondsSince( start );
		std::set< uint32_t > released( pressed.begin(), pressed.end() );
		for( uint32_t index : pressed )
			instance->SetFloat( index, 0.0f );
		pressed.clear();
		Json answer = { { "ok", result == FF_SUCCESS }, { "renderMs", render }, { "changes", Changes( released ) }, { "log", TakeLog() } };
		if( result != FF_SUCCESS )
		{
			answer[ "error" ] = "the plug-in failed the frame (code 17 answered failure)";
			return Encode( answer );
		}
		// The pixels as they are: the server encodes a picture only when
		// someone asks for it, while we render the next one.
		answer[ "width" ]  = image.width;
		answer[ "height" ] = image.height;
		return Encode( answer, std::string( image.pixels.begin(), image.pixels.end() ) );
	}
};
}// namespace

int RunWorker( const ChildChannel& channel )
{
	// Ctrl-C and a SIGTERM sent to the whole process group are for the
	// server, which then kills us itself; the server's own death kills us
	// too (the parent-death signal). They are ignored before the mask the
	// server blocked them with is lifted, so one already pending is dropped.
	signal( SIGINT, SIG_IGN );
	signal( SIGTERM, SIG_IGN );
	sigset_t none;
	sigemptyset( &none );
	pthread_sigmask( SIG_SETMASK, &none, nullptr );
	// What the plug-in prints (shader logs) reaches the server line by line,
	// not when a buffer fills or the process ends.
	setvbuf( stdout, nullptr, _IOLBF, 0 );
	// Sockets of the server's connections may have come along through exec;
	// holding them would keep a finished answer from reaching its browser.
	const unsigned keep = static_cast< unsigned >( channel.Fd() );
	if( keep > 3 )
		close_range( 3, keep - 1, 0 );
	close_range( keep + 1, ~0u, 0 );
	Worker worker( channel );
	return worker.Run();
}
}// namespace plughost::cli::serve
