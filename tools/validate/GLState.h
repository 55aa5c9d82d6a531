// What the checks ask of the GL state a plug-in leaves behind, shared by the
// frame checks and the checks of requests between frames.
#pragma once

#include "Harness.h"

#include <GL/glcorearb.h>

#include <set>
#include <string>

namespace plughost::validate
{
GLint Integer( GLenum name );
// Texture units worth asking about (at most 256).
GLint TextureUnits();

// Findings said once per request and kind, however often they repeat.
class Findings
{
public:
	explicit Findings( Harness& h ) : h( h ) {}
	void Fail( const std::string& message, const std::string& key = "" )
	{
		if( seen.insert( key.empty() ? message : key ).second )
			h.Fail( message );
	}
	void Warn( const std::string& message, const std::string& key = "" )
	{
		if( seen.insert( key.empty() ? message : key ).second )
			h.Warn( message );
	}

private:
	Harness& h;
	std::set< std::string > seen;
};

// What the toolkit's scoped bindings leave: nothing bound, unit 0 active.
// `after` names the request: "after <after>, program 7 is still bound".
// A finding is said once per `key` (default: `after`) and kind.
void CheckRestingState( Findings& findings, const std::string& after, const std::string& key = "" );
// The host's framebuffer is bound for drawing and for reading.
void CheckHostFramebuffer( Findings& findings, const std::string& after, uint32_t host, const std::string& key = "" );
// No GL error is pending; reading them clears them.
void CheckNoGLError( Harness& h, Findings& findings, const std::string& after, const std::string& key = "" );
}// namespace plughost::validate
