#include "Supervisor.h"

#include "common/ParameterSettings.h"

#include <Error.h>

#include <ffgl/FFGL.h>

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace plughost::cli::serve
{
namespace
{
constexpr std::size_t kKeptLog       = 200;
constexpr std::size_t kLogEntryLimit = 16 * 1024;
constexpr std::size_t kTailLimit     = 8 * 1024;

std::string Tail( const std::string& text, std::size_t limit )
{
	return text.size() <= limit ? text : "..." + text.substr( text.size() - limit );
}

std::string Seconds( double seconds )
{
	char text[ 32 ];
	std::snprintf( text, sizeof text, "%g s", seconds );
	return text;
}
}// namespace

Supervisor::Supervisor( SupervisorOptions given, EventBus& events ) :
	options( std::move( given ) ),
	events( events ),
	watcher( options.plugin )
{
}

Supervisor::~Supervisor()
{
	Stop();
}

void Supervisor::Start( std::ostream& err )
{
	console = &err;
	Load( "start" );
	if( state == State::Running && !extraInputs.empty() )
		throw UsageError( extraInputs );// as render refuses them
	if( state == State::Running )
		ApplySettings( options.settings, &err );
	else if( !options.settings.empty() && state != State::Stopped )
	{
		err << "plughost serve: the --set values wait until the plug-in loads\n";
		pendingSettings = options.settings;
	}
	lastStatus = Clock::now();
	thread     = std::thread( &Supervisor::Loop, this );
}

void Supervisor::Interrupt()
{
	{
		std::lock_guard< std::mutex > lock( mutex );
		stopping = true;
		// A pidfd names this worker even once it is reaped: never another
		// process that took its number.
		if( childHandle >= 0 )
			syscall( SYS_pidfd_send_signal, childHandle, SIGKILL, nullptr, 0 );
	}
	wake.notify_all();
	frameReady.notify_all();
}

bool Supervisor::Stopping() const
{
	std::lock_guard< std::mutex > lock( mutex );
	return stopping;
}

void Supervisor::Stop()
{
	Interrupt();
	if( thread.joinable() )
		thread.join();
	EndChild();
	std::lock_guard< std::mutex > lock( mutex );
	for( auto& command : commands )
		command->answer.set_exception( std::make_exception_ptr( ApiError( 503, "the server is stopping" ) ) );
	commands.clear();
	state = State::Stopped;
}

void Supervisor::Loop()
{
	auto nextPoll = Clock::now();
	for( ;; )
	{
		std::deque< std::shared_ptr< Command > > work;
		{
			std::lock_guard< std::mutex > lock( mutex );
			if( stopping )
				return;
			work.swap( commands );
		}
		for( auto& command : work )
		{
			try
			{
				command->answer.set_value( command->run() );
			}
			catch( ... )
			{
				command->answer.set_exception( std::current_exception() );
			}
		}
		auto now = Clock::now();
		if( now >= nextPoll )
		{
			nextPoll = now + options.poll;
			if( watcher.Poll( now ) )
				Load( "the plug-in file changed" );
		}
		if( WantsFrame( Clock::now() ) )
			RenderOne();
		now = Clock::now();
		if( now - lastStatus >= std::chrono::seconds( 1 ) )
		{
			lastStatus = now;
			PublishStatus();
		}
		std::unique_lock< std::mutex > lock( mutex );
		auto until = std::min( nextPoll, lastStatus + std::chrono::seconds( 1 ) );
		if( state == State::Running && child )
		{
			if( !paused )
				until = std::min( until, nextFrame );
			if( steps > 0 || redraw )
				until = now;
		}
		wake.wait_until( lock, until, [ & ] { return stopping || !commands.empty(); } );
	}
}

Json Supervisor::Submit( std::function< Json() > run, double seconds )
{
	auto command = std::make_shared< Command >();
	command->run = std::move( run );
	auto answer  = command->answer.get_future();
	{
		std::lock_guard< std::mutex > lock( mutex );
		if( stopping )
			throw ApiError( 503, "the server is stopping" );
		commands.push_back( command );
	}
	wake.notify_all();
	if( answer.wait_for( std::chrono::duration< double >( seconds ) ) != std::future_status::ready )
		throw ApiError( 504, "the worker did not answer in time" );
	return answer.get();
}

void Supervisor::EndChild()
{
	if( !child )
		return;
	child->Send( Encode( { { "op", "quit" } } ) );
	child->Receive( 2.0 );// returns when the worker has gone
	child->Kill();
	ForwardOutput();
	DropChild();
	copies.Remove( copy );
	copy.clear();
}

void Supervisor::Launch()
{
	ChildOptions childOptions;
	childOptions.outputLimit = 4u << 20;
	child.emplace( ChildProcess::Exec( options.worker, {}, childOptions ) );
	std::lock_guard< std::mutex > lock( mutex );
	childHandle = child->Pid() > 0 ? static_cast< int >( syscall( SYS_pidfd_open, child->Pid(), 0 ) ) : -1;
	if( stopping )// stopped while it was starting
		child->Kill();
}

void Supervisor::DropChild()
{
	{
		std::lock_guard< std::mutex > lock( mutex );
		if( childHandle >= 0 )
			close( childHandle );
		childHandle = -1;
	}
	child.reset();
}

void Supervisor::Load( const std::string& why )
{
	EndChild();
	std::vector< CarriedValue > carried;
	{
		std::lock_guard< std::mutex > lock( mutex );
		state = State::Loading;
		for( const auto& parameter : parameters )
			if( parameter.description.type != FF_TYPE_BUFFER && parameter.description.type != FF_TYPE_EVENT )
				carried.push_back( Carry( parameter ) );
	}
	// A value set since the last good frame may be what broke the plug-in:
	// the new worker gets the value before it.
	for( const CarriedValue& before : suspects )
		for( CarriedValue& value : carried )
			if( value.name == before.name && value.type == before.type )
			{
				value = before;
				Log( "server", "restarting with \"" + before.name + "\" as it was before the last change" );
			}
	suspects.clear();
	Log( "server", "loading " + options.plugin + " (" + why + ")" );
	PublishStatus();

	FileSignature signature;
	try
	{
		copy = copies.Make( options.plugin, signature );
	}
	catch( const Error& failure )
	{
		watcher.Accept( SignatureOf( options.plugin ) );
		Fail( State::Failed, { { "kind", "load" }, { "stage", "copy" }, { "message", failure.what() } } );
		return;
	}
	watcher.Accept( signature );
	outSeen = errSeen = 0;
	Launch();
	Json request    = LoadRequest( copy, options.width, options.height, options.inputs, carried );
	request[ "name" ] = options.plugin;
	const std::string label = "load the plug-in";
	if( !child->Send( Encode( request ) ) )
		return Died( label );
	const auto reply = Await( label, std::max( options.timeout, 30.0 ) );
	if( !reply )
		return;
	const Json& answer = reply->json;
	if( !answer.value( "ok", false ) )
	{
		// Let the worker finish, so all it printed (a shader log) is here.
		child->Send( Encode( { { "op", "quit" } } ) );
		child->Receive( 2.0 );
		child->Kill();
		ForwardOutput();
		Json failure = { { "kind", "load" },
						 { "stage", answer.value( "stage", "" ) },
						 { "message", answer.value( "error", "the plug-in failed to load" ) },
						 { "log", OutputTail() } };
		EndChild();
		Fail( State::Failed, failure );
		return;
	}
	std::vector< ParameterState > loaded;
	for( const auto& parameter : answer.at( "parameters" ) )
		loaded.push_back( ParameterFromJson( parameter ) );
	{
		std::lock_guard< std::mutex > lock( mutex );
		identity   = answer.at( "identity" );
		parameters = std::move( loaded );
		reloads += generation > 0 ? 1 : 0;
		++generation;
		state     = State::Running;
		error     = nullptr;
		redraw    = true;// a paused page still sees the new build
		nextFrame = Clock::now();
	}
	// Pictures beyond what this build takes are left out; render refuses
	// them, and so does Start for the build loaded first.
	const uint32_t most = identity.value( "maxInputs", 0u );
	extraInputs.clear();
	if( options.inputs.size() > most )
	{
		extraInputs = identity.value( "name", std::string( "the plug-in" ) ) + " takes at most " + std::to_string( most ) +
					  " input(s), got " + std::to_string( options.inputs.size() );
		Log( "server", extraInputs + "; " + ( most == 0 ? std::string( "the --input pictures are" ) : "the pictures after the first " + std::to_string( most ) + " are" ) + " ignored" );
	}
	std::string applied;
	for( const auto& name : answer.value( "applied", Json::array() ) )
		applied += ( applied.empty() ? "" : ", " ) + name.get< std::string >();
	if( !applied.empty() )
		Log( "server", "values kept: " + applied );
	events.Publish( "reload", Dump( Plugin() ) );
	if( !pendingSettings.empty() )
	{
		try
		{
			ApplySettings( std::exchange( pendingSettings, {} ), nullptr );
		}
		catch( const std::exception& failure )
		{
			Log( "server", std::string( "--set: " ) + failure.what() );
		}
	}
}

std::optional< Message > Supervisor::Await( const std::string& request, double seconds )
{
	{
		std::lock_guard< std::mutex > lock( mutex );
		lastRequest = request;
	}
	const auto received = child->Receive( seconds );
	ForwardOutput();
	if( !received )
	{
		Died( request );
		return std::nullopt;
	}
	try
	{
		Message message = Decode( *received );
		std::string lines;
		for( const auto& line : message.json.value( "log", Json::array() ) )
			if( line.is_string() )
				lines += ( lines.empty() ? "" : "\n" ) + line.get< std::string >();
		if( !lines.empty() )
			Log( "host", lines );
		return message;
	}
	catch( const std::exception& )
	{
		child->Kill();
		Died( request );
		return std::nullopt;
	}
}

void Supervisor::Died( const std::string& request )
{
	if( Stopping() )
	{
		// Killed because the server stops (or gone with it): not a crash.
		child->Kill();
		ForwardOutput();
		DropChild();
		copies.Remove( copy );
		copy.clear();
		std::lock_guard< std::mutex > lock( mutex );
		state = State::Stopped;
		return;
	}
	const bool hung = child->Running();
	if( hung )
		child->Kill();
	const ChildExit exit = child->Wait();
	ForwardOutput();
	Json why = { { "request", request }, { "exit", exit.Describe() }, { "log", OutputTail() } };
	if( exit.kind == ChildExit::Kind::NotStarted )
	{
		why[ "kind" ]    = "worker";
		why[ "message" ] = "cannot start the worker: " + exit.reason;
	}
	else if( hung )
	{
		why[ "kind" ]    = "hang";
		why[ "signal" ]  = "SIGKILL";
		why[ "message" ] = "the plug-in hung: no answer to " + request + " within " + Seconds( options.timeout ) +
						   ", so the worker was killed";
	}
	else if( exit.kind == ChildExit::Kind::Signalled )
	{
		why[ "kind" ]    = "crash";
		why[ "signal" ]  = SignalName( exit.signal );
		why[ "message" ] = "the plug-in crashed during " + request + ": " + exit.Describe();
	}
	else
	{
		why[ "kind" ]    = "exit";
		why[ "message" ] = "the worker ended during " + request + ": it " + exit.Describe() + " (a plug-in that calls exit, or a sanitizer report)";
	}
	DropChild();
	copies.Remove( copy );
	copy.clear();
	Fail( State::Crashed, why );
}

void Supervisor::Fail( State failed, Json why )
{
	const std::string message = why.value( "message", "" );
	{
		std::lock_guard< std::mutex > lock( mutex );
		state = failed;
		error = std::move( why );
	}
	Log( "server", message );
	PublishStatus();
}

void Supervisor::ForwardOutput()
{
	if( !child )
		return;
	const std::string& out = child->Stdout();
	const std::string& err = child->Stderr();
	if( out.size() > outSeen )
		Log( "stdout", out.substr( outSeen ) );
	if( err.size() > errSeen )
		Log( "stderr", err.substr( errSeen ) );
	outSeen = out.size();
	errSeen = err.size();
}

std::string Supervisor::OutputTail() const
{
	if( !child )
		return "";
	std::string tail;
	if( !child->Stdout().empty() )
		tail += "standard output:\n" + Tail( child->Stdout(), kTailLimit );
	if( !child->Stderr().empty() )
		tail += std::string( tail.empty() ? "" : "\n" ) + "standard error:\n" + Tail( child->Stderr(), kTailLimit );
	return tail;
}

void Supervisor::Log( const std::string& stream, const std::string& text )
{
	const Json entry = { { "stream", stream }, { "text", Tail( text, kLogEntryLimit ) } };
	{
		std::lock_guard< std::mutex > lock( mutex );
		recentLog.push_back( entry );
		while( recentLog.size() > kKeptLog )
			recentLog.pop_front();
		if( console && stream == "server" )
			*console << "plughost serve: " << text << std::endl;
	}
	events.Publish( "log", Dump( entry ) );
}

void Supervisor::ApplyChanges( const Json& changes )
{
	if( !changes.is_array() || changes.empty() )
		return;
	Json published = Json::array();
	{
		std::lock_guard< std::mutex > lock( mutex );
		for( const auto& change : changes )
		{
			ParameterState parameter = ParameterFromJson( change );
			if( parameter.description.index < parameters.size() )
			{
				parameters[ parameter.description.index ] = parameter;
				published.push_back( ToJson( parameter ) );
			}
		}
	}
	events.Publish( "parameters", Dump( { { "generation", generation }, { "parameters", published } } ) );
}

void Supervisor::ApplySettings( const std::vector< Setting >& settings, std::ostream* err )
{
	if( settings.empty() )
		return;
	std::vector< ParameterDescription > described;
	{
		std::lock_guard< std::mutex > lock( mutex );
		for( const auto& parameter : parameters )
			described.push_back( parameter.description );
	}
	// Names and values are read as render reads them; an unknown name or a
	// value that means nothing is refused at the start.
	std::vector< ResolvedSetting > resolved;
	try
	{
		resolved = ResolveSettings( described, settings );
	}
	catch( const UsageError& refused )
	{
		if( err )
			throw UsageError( std::string( "--set: " ) + refused.what() );
		Log( "server", std::string( "--set: " ) + refused.what() );
		return;
	}
	for( const ResolvedSetting& setting : resolved )
	{
		if( !setting.warning.empty() )
			Log( "server", "warning: --set " + setting.warning );
		try
		{
			ParameterState parameter;
			{
				std::lock_guard< std::mutex > lock( mutex );
				if( state != State::Running || !child )
					return;// an earlier value broke it: that was reported
				if( setting.index >= parameters.size() )
					continue;
				parameter = parameters[ setting.index ];
			}
			NewValue value;
			value.isText = setting.isText;
			value.number = setting.number;
			value.text   = setting.text;
			Send( parameter, value );
		}
		catch( const ApiError& refused )
		{
			if( err )
				throw UsageError( "--set " + refused.message );
			Log( "server", "--set " + refused.message );
		}
	}
}

Json Supervisor::DoSet( const std::string& id, const Json& value )
{
	ParameterState parameter;
	{
		std::lock_guard< std::mutex > lock( mutex );
		if( state != State::Running || !child )
			throw ApiError( 503, "the plug-in is not running" +
									 ( error.is_object() ? ": " + error.value( "message", std::string() ) : std::string() ) );
		parameter = FindParameter( parameters, id );
	}
	return Send( parameter, ResolveValue( parameter, value ) );
}

Json Supervisor::Send( const ParameterState& parameter, const NewValue& resolved )
{
	const ParameterDescription& d = parameter.description;
	const std::string label       = "set \"" + d.name + "\" (parameter " + std::to_string( d.index ) + ") to " +
							  ( resolved.isText ? "\"" + Tail( resolved.text, 60 ) + "\"" : FormatNumber( resolved.number ) );
	std::optional< Message > reply;
	if( child->Send( Encode( SetRequest( d.index, resolved.isText, resolved.number, resolved.text ) ) ) )
		reply = Await( label, options.timeout );
	else
		Died( label );
	if( !reply )
	{
		// The value being set is the one left out on restart; the values
		// set before it stay.
		suspects.clear();
		std::lock_guard< std::mutex > lock( mutex );
		if( stopping )
			throw ApiError( 503, "the server is stopping" );
		throw ApiError( 502, error.value( "message", std::string( "the worker is gone" ) ) );
	}
	ApplyChanges( reply->json.value( "changes", Json::array() ) );
	if( !reply->json.value( "ok", false ) )
		throw ApiError( 422, "\"" + d.name + "\": " + reply->json.value( "error", std::string( "refused" ) ) );
	const bool known = std::any_of( suspects.begin(), suspects.end(), [ & ]( const CarriedValue& v ) { return v.name == d.name; } );
	if( !known && d.type != FF_TYPE_EVENT && d.type != FF_TYPE_BUFFER )
		suspects.push_back( Carry( parameter ) );
	std::lock_guard< std::mutex > lock( mutex );
	if( paused )
		redraw = true;
	return ToJson( parameters.at( d.index ) );
}

bool Supervisor::WantsFrame( Clock::time_point now ) const
{
	std::lock_guard< std::mutex > lock( mutex );
	if( state != State::Running || !child )
		return false;
	return paused ? steps > 0 || redraw : now >= nextFrame;
}

void Supervisor::RenderOne()
{
	double time     = 0.0;
	uint64_t number = 0;
	{
		std::lock_guard< std::mutex > lock( mutex );
		const auto now    = Clock::now();
		const auto period = std::chrono::duration_cast< Clock::duration >( std::chrono::duration< double >( 1.0 / options.fps ) );
		if( !paused )
		{
			if( ticking )
				hostTime += std::chrono::duration< double >( now - lastTick ).count();
			lastTick = now;
			ticking  = true;
			// A late frame moves the schedule instead of rushing to catch up.
			nextFrame = std::max( nextFrame + period, now );
		}
		else
		{
			ticking = false;
			if( steps > 0 )
			{
				--steps;
				hostTime += 1.0 / options.fps;
			}
			redraw = false;
		}
		time   = hostTime;
		number = latest.number + 1;
	}
	const std::string label = "render frame " + std::to_string( number ) + " at time " + Seconds( time );
	std::optional< Message > reply;
	if( child->Send( Encode( FrameRequest( time ) ) ) )
		reply = Await( label, options.timeout );
	else
		Died( label );
	if( !reply )
		return;
	ApplyChanges( reply->json.value( "changes", Json::array() ) );
	const Json& answer = reply->json;
	const auto width   = answer.value( "width", 0u ), height = answer.value( "height", 0u );
	const bool ok      = answer.value( "ok", false ) && width == options.width && height == options.height &&
					reply->payload.size() == std::size_t( width ) * height * 4;
	bool statusChanged = false;
	{
		std::lock_guard< std::mutex > lock( mutex );
		if( ok )
		{
			Image image( width, height );
			image.pixels.assign( reply->payload.begin(), reply->payload.end() );
			auto picture = latest.picture && latest.picture->Pixels() == image ? latest.picture
																			   : std::make_shared< const FramePicture >( std::move( image ) );
			const double render = answer.value( "renderMs", 0.0 );
			latest   = { number, generation, time, render, std::move( picture ) };
			renderMs = renderMs == 0.0 ? render : renderMs * 0.9 + render * 0.1;
			const auto now = Clock::now();
			frameTimes.push_back( now );
			while( !frameTimes.empty() && now - frameTimes.front() > std::chrono::seconds( 1 ) )
				frameTimes.pop_front();
			suspects.clear();
			statusChanged = error.is_object() && error.value( "kind", "" ) == "frame";
			if( statusChanged )
				error = nullptr;
		}
		else
		{
			const std::string message = answer.value( "error", std::string( "the worker sent no picture" ) );
			statusChanged = !error.is_object() || error.value( "message", "" ) != message;
			error = { { "kind", "frame" }, { "request", label }, { "message", message } };
		}
	}
	frameReady.notify_all();
	if( statusChanged )
		PublishStatus();
}

Json Supervisor::StatusLocked() const
{
	static const char* const names[] = { "loading", "running", "failed", "crashed", "stopped" };
	const auto now = Clock::now();
	const auto recent = std::count_if( frameTimes.begin(), frameTimes.end(),
									   [ & ]( Clock::time_point t ) { return now - t <= std::chrono::seconds( 1 ); } );
	return { { "state", names[ static_cast< int >( state ) ] },
			 { "paused", paused },
			 { "generation", generation },
			 { "reloads", reloads },
			 { "frame", latest.number },
			 { "time", hostTime },
			 { "fps", paused ? 0 : recent },
			 { "targetFps", options.fps },
			 { "renderMs", renderMs },
			 { "width", options.width },
			 { "height", options.height },
			 { "plugin", options.plugin },
			 { "lastRequest", lastRequest },
			 { "error", error } };
}

Json Supervisor::ParametersLocked() const
{
	Json list = Json::array();
	for( const auto& parameter : parameters )
		list.push_back( ToJson( parameter ) );
	return list;
}

void Supervisor::PublishStatus()
{
	events.Publish( "status", Dump( Status() ) );
}

Json Supervisor::Status() const
{
	std::lock_guard< std::mutex > lock( mutex );
	return StatusLocked();
}

Json Supervisor::Plugin() const
{
	std::lock_guard< std::mutex > lock( mutex );
	Json log = Json::array();
	for( const auto& entry : recentLog )
		log.push_back( entry );
	return { { "identity", identity }, { "parameters", ParametersLocked() }, { "status", StatusLocked() }, { "log", log } };
}

Json Supervisor::Parameters() const
{
	std::lock_guard< std::mutex > lock( mutex );
	return ParametersLocked();
}

Json Supervisor::Parameter( const std::string& id ) const
{
	std::lock_guard< std::mutex > lock( mutex );
	return ToJson( FindParameter( parameters, id ) );
}

Json Supervisor::Set( const std::string& id, const Json& value )
{
	return Submit( [ this, id, value ] { return DoSet( id, value ); }, options.timeout + 5.0 );
}

Json Supervisor::Transport( const std::string& action )
{
	{
		std::lock_guard< std::mutex > lock( mutex );
		if( action == "pause" )
			paused = true;
		else if( action == "play" )
			paused = false;
		else if( action == "step" )
		{
			paused = true;
			steps  = std::min( steps + 1, 1000u );
		}
		else
			throw ApiError( 400, "unknown action \"" + action.substr( 0, 40 ) + "\"; actions are pause, play and step" );
	}
	wake.notify_all();
	PublishStatus();
	return Status();
}

Json Supervisor::Restart()
{
	return Submit(
		[ this ] {
			Load( "restart asked for" );
			return Status();
		},
		std::max( options.timeout, 30.0 ) + 5.0 );
}

std::optional< FrameRef > Supervisor::Frame( uint64_t after, std::chrono::milliseconds wait ) const
{
	std::unique_lock< std::mutex > lock( mutex );
	// A number beyond ours is a page from an earlier run of the server: it
	// gets the latest at once.
	frameReady.wait_for( lock, wait, [ & ] { return stopping || latest.number != after; } );
	if( latest.number != after && latest.picture )
		return latest;
	return std::nullopt;
}
}// namespace plughost::cli::serve
