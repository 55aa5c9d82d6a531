// A census of the GL objects alive in the current context, taken by asking
// glIs* about every name handed out so far. Comparing the largest name
// proves nothing: the driver never reuses names, so it only ever grows.
// Two censuses taken around some work tell which objects the work left
// alive (After.Since(Before)) and which it deleted (Before.Since(After)).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plughost
{
enum class GLObjectKind
{
	Texture,
	Buffer,
	Framebuffer,
	Renderbuffer,
	VertexArray,
	Program,
	Shader,
	Sampler,
	Query,
	TransformFeedback,
	ProgramPipeline,
};
constexpr std::size_t kGLObjectKinds = 11;

// "texture", or "textures" when `count` is not 1.
std::string GLObjectKindName( GLObjectKind kind, std::size_t count = 1 );

class GLCensus
{
public:
	// Needs a current context. Makes and deletes one object of each kind to
	// learn the next free name, so it leaves the bindings and the error
	// state as it found them.
	static GLCensus Take();

	const std::vector< uint32_t >& Names( GLObjectKind kind ) const { return names[ Index( kind ) ]; }
	std::size_t Count( GLObjectKind kind ) const { return Names( kind ).size(); }
	std::size_t Total() const;
	bool Empty() const { return Total() == 0; }

	// Objects alive here that were not alive in `earlier`.
	GLCensus Since( const GLCensus& earlier ) const;
	// "2 textures (31, 32), 1 program (7)"; "none" when empty. At most
	// `maxNames` names are listed per kind.
	std::string Describe( std::size_t maxNames = 6 ) const;

private:
	static std::size_t Index( GLObjectKind kind ) { return static_cast< std::size_t >( kind ); }
	std::array< std::vector< uint32_t >, kGLObjectKinds > names;
};
}// namespace plughost
