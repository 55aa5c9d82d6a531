#include "GLState.h"

#include <algorithm>

namespace plughost::validate
{
GLint Integer( GLenum name )
{
	GLint value = 0;
	glGetIntegerv( name, &value );
	return value;
}

GLint TextureUnits()
{
	return std::min( Integer( GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS ), 256 );
}

void CheckRestingState( Findings& findings, const std::string& after, const std::string& key )
{
	const std::string& k = key.empty() ? after : key;
	const struct
	{
		GLenum name;
		const char* what;
	} bindings[] = {
		{ GL_CURRENT_PROGRAM, "program" },
		{ GL_VERTEX_ARRAY_BINDING, "vertex array" },
		{ GL_ARRAY_BUFFER_BINDING, "array buffer" },
	};
	for( const auto& binding : bindings )
		if( const GLint value = Integer( binding.name ); value != 0 )
			findings.Fail( "after " + after + ", " + binding.what + " " + std::to_string( value ) + " is still bound; expected 0",
						   k + binding.what );
	if( Integer( GL_VERTEX_ARRAY_BINDING ) == 0 )
		if( const GLint value = Integer( GL_ELEMENT_ARRAY_BUFFER_BINDING ); value != 0 )
			findings.Fail( "after " + after + ", element array buffer " + std::to_string( value ) + " is still bound; expected 0",
						   k + "element" );
	const GLint active = Integer( GL_ACTIVE_TEXTURE );
	if( active != GL_TEXTURE0 )
		findings.Fail( "after " + after + ", texture unit " + std::to_string( active - GL_TEXTURE0 ) +
					   " is still active (GL_ACTIVE_TEXTURE is GL_TEXTURE0 + " + std::to_string( active - GL_TEXTURE0 ) +
					   "); expected unit 0",
					   k + "active unit" );
	const GLint units = TextureUnits();
	for( GLint unit = 0; unit < units; ++unit )
	{
		glActiveTexture( GL_TEXTURE0 + static_cast< GLenum >( unit ) );
		if( const GLint texture = Integer( GL_TEXTURE_BINDING_2D ); texture != 0 )
			findings.Fail( "after " + after + ", 2D texture " + std::to_string( texture ) + " is still bound on texture unit " +
							   std::to_string( unit ) + "; expected none",
						   k + "unit " + std::to_string( unit ) );
	}
	glActiveTexture( static_cast< GLenum >( active ) );
}

void CheckHostFramebuffer( Findings& findings, const std::string& after, uint32_t host, const std::string& key )
{
	const std::string& k = key.empty() ? after : key;
	for( const auto& [ name, what ] : { std::pair{ GL_DRAW_FRAMEBUFFER_BINDING, "drawing" }, std::pair{ GL_READ_FRAMEBUFFER_BINDING, "reading" } } )
		if( const GLint bound = Integer( name ); bound != static_cast< GLint >( host ) )
			findings.Fail( "after " + after + ", framebuffer " + std::to_string( bound ) + " is bound for " + what +
						   "; expected the host's framebuffer " + std::to_string( host ),
						   k + "framebuffer for " + what );
}

void CheckNoGLError( Harness& h, Findings& findings, const std::string& after, const std::string& key )
{
	const std::string& k = key.empty() ? after : key;
	for( const std::string& error : h.PendingGLErrors() )
		findings.Fail( error + " is pending after " + after + "; expected no GL error", k + error );
}
}// namespace plughost::validate
