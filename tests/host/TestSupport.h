// Helpers shared by the host library and tool tests.
#pragma once

#include <Error.h>
#include <GLContext.h>

#include <string>

namespace testsupport
{
std::string Plugin( const std::string& name ); // a built plug-in, e.g. "Probe"
std::string Fixture( const std::string& name );// a library the loader must refuse
plughost::GLContext& Context();                // made once, made current
std::string ScratchDir( const std::string& name );// fresh; removed at exit

// The message of the Failure that `action` throws; "(none)" when it throws none.
template< typename Failure = plughost::Error, typename Action >
std::string ErrorOf( Action action )
{
	try
	{
		action();
	}
	catch( const Failure& error )
	{
		return error.what();
	}
	return "(none)";
}
}// namespace testsupport
