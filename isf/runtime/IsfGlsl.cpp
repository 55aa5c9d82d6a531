#include "IsfGlsl.h"

#include "GlslTokens.h"

#include <algorithm>
#include <regex>
#include <set>

namespace isf
{
namespace
{
constexpr size_t npos = std::string::npos;

// Built-in functions of GLSL 4.10: a body that defines its own function of
// one of these names (legal in GLSL 1.10) gets it renamed.
const std::set< std::string >& BuiltinFunctions()
{
	static const std::set< std::string > names = {
		"radians", "degrees", "sin", "cos", "tan", "asin", "acos", "atan", "sinh", "cosh", "tanh", "asinh", "acosh",
		"atanh", "pow", "exp", "log", "exp2", "log2", "sqrt", "inversesqrt", "abs", "sign", "floor", "trunc", "round",
		"roundEven", "ceil", "fract", "mod", "modf", "min", "max", "clamp", "mix", "step", "smoothstep", "isnan", "isinf",
		"floatBitsToInt", "floatBitsToUint", "intBitsToFloat", "uintBitsToFloat", "fma", "frexp", "ldexp",
		"packUnorm2x16", "packSnorm2x16", "packUnorm4x8", "packSnorm4x8", "unpackUnorm2x16", "unpackSnorm2x16",
		"unpackUnorm4x8", "unpackSnorm4x8", "packDouble2x32", "unpackDouble2x32", "packHalf2x16", "unpackHalf2x16",
		"length", "distance", "dot", "cross", "normalize", "faceforward", "reflect", "refract", "matrixCompMult",
		"outerProduct", "transpose", "determinant", "inverse", "lessThan", "lessThanEqual", "greaterThan",
		"greaterThanEqual", "equal", "notEqual", "any", "all", "not", "uaddCarry", "usubBorrow", "umulExtended",
		"imulExtended", "bitfieldExtract", "bitfieldInsert", "bitfieldReverse", "bitCount", "findLSB", "findMSB",
		"textureSize", "textureQueryLod", "texture", "textureProj", "textureLod", "textureOffset", "texelFetch",
		"texelFetchOffset", "textureProjOffset", "textureLodOffset", "textureProjLod", "textureProjLodOffset",
		"textureGrad", "textureGradOffset", "textureProjGrad", "textureProjGradOffset", "textureGather",
		"textureGatherOffset", "textureGatherOffsets", "dFdx", "dFdy", "fwidth", "interpolateAtCentroid",
		"interpolateAtSample", "interpolateAtOffset", "noise1", "noise2", "noise3", "noise4", "EmitVertex",
		"EndPrimitive", "EmitStreamVertex", "EndStreamPrimitive",
		// Names the translation maps to GLSL 4.10 calls.
		"texture2D", "texture2DProj", "texture2DLod", "texture2DRect", "textureCube", "texture1D", "texture3D",
		"shadow2D", "texture2DRectProj", "texture2DProjLod", "textureCubeLod" };
	return names;
}

// Words GLSL 4.10 reserves that ISF's GLSL 1.x bodies may use as names.
const std::set< std::string >& NewKeywords()
{
	static const std::set< std::string > names = {
		"sample", "patch", "subroutine", "buffer", "shared", "coherent", "restrict", "readonly", "writeonly", "common",
		"partition", "active", "resource", "filter", "smooth", "noperspective", "flat", "centroid", "layout", "precise",
		"superp", "input", "output", "uint", "switch", "case", "default", "double", "dvec2", "dvec3", "dvec4", "dmat2",
		"dmat3", "dmat4", "uvec2", "uvec3", "uvec4", "isampler2D", "usampler2D", "sampler1D", "sampler3D",
		"samplerBuffer", "image1D", "image2D", "image3D", "atomic_uint", "hvec2", "hvec3", "hvec4", "fvec2", "fvec3",
		"fvec4", "half", "fixed", "unsigned", "long", "short", "volatile", "static", "extern", "external", "interface",
		"namespace", "using", "public", "class", "union", "enum", "typedef", "template", "this", "packed", "goto",
		"inline", "noinline", "asm", "cast", "sizeof", "row_major", "iimage2D", "uimage2D" };
	return names;
}

struct ImageInfo
{
	std::string name;
};

bool Contains( const std::vector< std::string >& names, const std::string& name )
{
	return std::find( names.begin(), names.end(), name ) != names.end();
}

// User functions named like built-ins and names GLSL 4.10 reserves.
std::set< std::string > NamesToRename( const std::vector< Token >& tokens )
{
	std::set< std::string > rename;
	int depth = 0;
	bool textureAsValue = false;
	for( size_t k = 0; k < tokens.size(); ++k )
	{
		const Token& token = tokens[ k ];
		if( token.Is( "{" ) )
			++depth;
		else if( token.Is( "}" ) )
			--depth;
		if( token.kind != Token::Name )
			continue;
		const size_t previous = PreviousSignificant( tokens, k );
		if( previous != npos && tokens[ previous ].Is( "." ) )
			continue;
		if( NewKeywords().count( token.text ) )
		{
			rename.insert( token.text );
			continue;
		}
		const size_t next = NextSignificant( tokens, k );
		const bool call   = next != npos && tokens[ next ].Is( "(" );
		if( token.text == "texture" && !call )
			textureAsValue = true;
		// `type name (` at file scope defines or declares a function.
		if( depth == 0 && call && previous != npos && tokens[ previous ].kind == Token::Name &&
			BuiltinFunctions().count( token.text ) )
			rename.insert( token.text );
	}
	if( textureAsValue )
		rename.insert( "texture" );
	return rename;
}

// Non-constant file-scope initialisers, which GLSL 4.10 refuses, become
// assignments at the top of main(). The moved text keeps its line breaks
// where it was, so no line of the body moves.
// With `uniforms` given, a `const` global whose initialiser reads one of
// them (which no GLSL accepts) loses its `const` and is moved as well.
void MoveGlobalInitialisers( std::vector< Token >& tokens, const std::set< std::string >* uniforms = nullptr )
{
	static const std::set< std::string > keep = { "const", "uniform", "precision", "struct", "in", "out", "varying",
												   "attribute", "layout", "return" };
	std::string assignments;
	int depth            = 0;
	size_t statement     = npos;// first significant token of the current file-scope statement
	bool onDirectiveLine = false;
	for( size_t k = 0; k < tokens.size(); ++k )
	{
		Token& token = tokens[ k ];
		if( token.kind == Token::Newline )
		{
			onDirectiveLine = onDirectiveLine && k > 0 && tokens[ k - 1 ].Is( "\\" );
			continue;
		}
		if( !token.Significant() )
			continue;
		if( token.Is( "#" ) && statement == npos && depth == 0 )
		{
			onDirectiveLine = true;
			continue;
		}
		if( onDirectiveLine )
			continue;
		if( token.Is( "{" ) )
		{
			++depth;
			statement = npos;
			continue;
		}
		if( token.Is( "}" ) )
		{
			--depth;
			statement = npos;
			continue;
		}
		if( depth != 0 )
			continue;
		if( statement == npos )
			statement = k;
		if( !token.Is( ";" ) )
			continue;
		// A whole file-scope statement from `statement` to `k`.
		const size_t begin = statement;
		statement          = npos;
		if( tokens[ begin ].kind != Token::Name )
			continue;
		if( uniforms && tokens[ begin ].text == "const" )
		{
			bool readsUniform = false;
			for( size_t j = begin; j < k && !readsUniform; ++j )
				readsUniform = tokens[ j ].kind == Token::Name && uniforms->count( tokens[ j ].text );
			if( readsUniform )
				tokens[ begin ] = { Token::Space, "" };
			else
				continue;
		}
		else if( keep.count( tokens[ begin ].text ) )
			continue;
		size_t equals = npos;
		int parens    = 0;
		for( size_t j = begin; j < k; ++j )
		{
			if( tokens[ j ].Is( "(" ) || tokens[ j ].Is( "[" ) )
				++parens;
			else if( tokens[ j ].Is( ")" ) || tokens[ j ].Is( "]" ) )
				--parens;
			else if( parens == 0 && tokens[ j ].Is( "=" ) )
			{
				equals = j;
				break;
			}
		}
		if( equals == npos )
			continue;
		// The first declarator's name: the name before `=`, skipping an array size.
		size_t name = PreviousSignificant( tokens, equals );
		if( name != npos && tokens[ name ].Is( "]" ) )
		{
			int brackets = 0;
			for( ; name != npos && name > begin; --name )
			{
				if( tokens[ name ].Is( "]" ) )
					++brackets;
				else if( tokens[ name ].Is( "[" ) && --brackets == 0 )
					break;
			}
			name = PreviousSignificant( tokens, name );
		}
		if( name == npos || name <= begin || tokens[ name ].kind != Token::Name )
			continue;
		// Declarators from `name` to `k`, split at file-level commas.
		size_t declarator = name;
		parens            = 0;
		for( size_t j = name; j <= k; ++j )
		{
			const Token& t = tokens[ j ];
			if( t.Is( "(" ) || t.Is( "[" ) )
				++parens;
			else if( t.Is( ")" ) || t.Is( "]" ) )
				--parens;
			if( !( parens == 0 && ( t.Is( "," ) || j == k ) ) )
				continue;
			// One declarator, declarator..j: find its `=`.
			size_t assign = npos;
			int inner     = 0;
			for( size_t i = declarator; i < j; ++i )
			{
				if( tokens[ i ].Is( "(" ) || tokens[ i ].Is( "[" ) )
					++inner;
				else if( tokens[ i ].Is( ")" ) || tokens[ i ].Is( "]" ) )
					--inner;
				else if( inner == 0 && tokens[ i ].Is( "=" ) )
				{
					assign = i;
					break;
				}
			}
			if( assign != npos )
			{
				const size_t first = NextSignificant( tokens, declarator - 1 );
				std::string expression;
				for( size_t i = assign + 1; i < j; ++i )
				{
					expression += tokens[ i ].kind == Token::Newline ? " " : tokens[ i ].text;
					if( tokens[ i ].kind == Token::Comment )
						expression.back() = ' ';
				}
				assignments += tokens[ first ].text + " =" + expression + "; ";
				for( size_t i = assign; i < j; ++i )
				{
					const size_t lines = static_cast< size_t >( std::count( tokens[ i ].text.begin(), tokens[ i ].text.end(), '\n' ) );
					tokens[ i ]        = { Token::Space, std::string( lines, '\n' ) };
					if( lines )
						tokens[ i ].kind = Token::Newline;
				}
			}
			declarator = j + 1;
		}
	}
	if( assignments.empty() )
		return;
	// Into main's body, on the line of its brace.
	depth = 0;
	for( size_t k = 0; k < tokens.size(); ++k )
	{
		if( tokens[ k ].Is( "{" ) )
			++depth;
		else if( tokens[ k ].Is( "}" ) )
			--depth;
		if( depth != 0 || tokens[ k ].kind != Token::Name || tokens[ k ].text != "main" )
			continue;
		const size_t open = NextSignificant( tokens, k );
		if( open == npos || !tokens[ open ].Is( "(" ) )
			continue;
		const size_t close = Matching( tokens, open );
		const size_t brace = close == npos ? npos : NextSignificant( tokens, close );
		if( brace != npos && tokens[ brace ].Is( "{" ) )
		{
			tokens[ brace ].text += " " + assignments;
			tokens[ brace ].kind = Token::Comment;// already rewritten: keep as is
			// The assignments still need the same translation as the rest:
			// re-tokenised by the caller.
			return;
		}
	}
}

class Rewriter
{
public:
	Rewriter( const std::vector< Token >& tokens, const std::vector< std::string >& images, bool vertex,
			  const std::set< std::string >& rename, bool floatLiterals ) :
		tokens( tokens ),
		images( images ),
		vertex( vertex ),
		rename( rename ),
		floatLiterals( floatLiterals )
	{
	}

	std::string Emit( size_t begin, size_t end )
	{
		std::string out;
		for( size_t k = begin; k < end; ++k )
		{
			const Token& token = tokens[ k ];
			if( token.kind == Token::Number && floatLiterals )
			{
				out += FloatLiteral( k );
				continue;
			}
			if( token.kind != Token::Name )
			{
				out += token.text;
				continue;
			}
			const size_t previous = PreviousSignificant( tokens, k );
			if( previous != npos && tokens[ previous ].Is( "." ) )
			{
				out += token.text;
				continue;
			}
			// gl_FragData[0] is the one output, as gl_FragColor.
			if( token.text == "gl_FragData" )
			{
				const size_t open  = NextSignificant( tokens, k );
				const size_t index = open == npos ? npos : NextSignificant( tokens, open );
				const size_t close = index == npos ? npos : NextSignificant( tokens, index );
				if( close != npos && close < end && tokens[ open ].Is( "[" ) && tokens[ index ].text == "0" && tokens[ close ].Is( "]" ) )
				{
					out += "isf_FragColor";
					k = close;
					continue;
				}
			}
			if( token.text.rfind( "IMG_", 0 ) == 0 || ( ( token.text == "texture2D" || token.text == "texture2DRect" ) && !rename.count( token.text ) ) )
			{
				size_t after = 0;
				if( Macro( k, end, out, after ) )
				{
					k = after;
					continue;
				}
			}
			out += Name( token.text );
		}
		return out;
	}

private:
	const std::vector< Token >& tokens;
	const std::vector< std::string >& images;
	bool vertex;
	const std::set< std::string >& rename;
	bool floatLiterals;

	std::string Name( const std::string& name ) const
	{
		if( rename.count( name ) )
			return "isf_u_" + name;
		if( name == "gl_FragColor" )
			return "isf_FragColor";
		if( name == "texture2D" || name == "textureCube" || name == "texture1D" || name == "texture3D" )
			return "texture";
		if( name == "texture2DProj" )
			return "textureProj";
		if( name == "texture2DLod" || name == "textureCubeLod" )
			return "textureLod";
		if( name == "texture2DProjLod" )
			return "textureProjLod";
		if( name == "texture2DRect" )
			return "isf_texture2DRect";
		if( name == "sampler2DRect" )
			return "sampler2D";
		if( name == "varying" )
			return vertex ? "out" : "in";
		if( name == "attribute" )
			return "in";
		if( name == "vv_FragNormCoord" )
			return "isf_FragNormCoord";
		if( name == "vv_vertShaderInit" )
			return "isf_vertShaderInit";
		return name;
	}

	// An integer literal written as a float, unless it sits where GLSL
	// wants an int: array sizes and indices, after int constructors, beside
	// integer-only operators.
	std::string FloatLiteral( size_t k ) const
	{
		const std::string& text = tokens[ k ].text;
		if( !std::all_of( text.begin(), text.end(), []( char c ) { return c >= '0' && c <= '9'; } ) ||
			( text.size() > 1 && text[ 0 ] == '0' ) )
			return text;
		const size_t previous = PreviousSignificant( tokens, k );
		const size_t next     = NextSignificant( tokens, k );
		auto is               = [ & ]( size_t i, const char* p ) { return i != npos && tokens[ i ].Is( p ); };
		if( is( previous, "[" ) || is( next, "]" ) || is( previous, "%" ) || is( next, "%" ) || is( previous, "&" ) ||
			is( next, "&" ) || is( previous, "|" ) || is( next, "|" ) || is( previous, "^" ) || is( next, "^" ) ||
			is( previous, "#" ) || ( is( previous, "<" ) && is( previous - 1, "<" ) ) || ( is( previous, ">" ) && is( previous - 1, ">" ) ) )
			return text;
		// Inside an int constructor or an int declaration's initialiser on this statement.
		int depth = 0;
		for( size_t i = k; i-- > 0; )
		{
			const Token& t = tokens[ i ];
			if( t.Is( ";" ) || t.Is( "{" ) || t.Is( "}" ) )
				break;
			if( t.Is( ")" ) )
				++depth;
			else if( t.Is( "(" ) )
			{
				if( depth == 0 )
				{
					const size_t callee = PreviousSignificant( tokens, i );
					if( callee != npos && tokens[ callee ].kind == Token::Name )
					{
						const std::string& c = tokens[ callee ].text;
						if( c == "int" || c.rfind( "ivec", 0 ) == 0 || c == "uint" || c.rfind( "uvec", 0 ) == 0 ||
							c == "bool" || c == "texelFetch" || c == "textureSize" || c == "isf_u_uint" )
							return text;
						if( c == "for" )
							continue;
					}
				}
				else
					--depth;
			}
			else if( depth == 0 && t.kind == Token::Name && ( t.text == "int" || t.text.rfind( "ivec", 0 ) == 0 ) )
				return text;
			else if( depth == 0 && t.kind == Token::Name && t.text == "return" )
				break;
			else if( depth == 0 && t.Is( "," ) )
				continue;
		}
		// Compared with or assigned to an int variable: left alone when the
		// other side is a name declared int somewhere in the body.
		for( size_t side : { previous, next } )
		{
			if( side == npos )
				continue;
			size_t operand = side == previous ? PreviousSignificant( tokens, previous ) : NextSignificant( tokens, next );
			if( side == previous && ( tokens[ previous ].Is( "=" ) || tokens[ previous ].Is( "<" ) || tokens[ previous ].Is( ">" ) ) )
			{
				if( operand != npos && ( tokens[ operand ].Is( "=" ) || tokens[ operand ].Is( "!" ) || tokens[ operand ].Is( "<" ) ||
										 tokens[ operand ].Is( ">" ) || tokens[ operand ].Is( "+" ) || tokens[ operand ].Is( "-" ) ) )
					operand = PreviousSignificant( tokens, operand );
				if( operand != npos && IntName( operand ) )
					return text;
			}
			if( side == next && ( tokens[ next ].Is( "<" ) || tokens[ next ].Is( ">" ) || tokens[ next ].Is( "=" ) ) && operand != npos )
			{
				if( tokens[ operand ].Is( "=" ) )
					operand = NextSignificant( tokens, operand );
				if( operand != npos && IntName( operand ) )
					return text;
			}
			if( ( tokens[ side ].Is( "+" ) || tokens[ side ].Is( "-" ) || tokens[ side ].Is( "*" ) || tokens[ side ].Is( "/" ) ) &&
				operand != npos && IntName( operand ) )
				return text;
		}
		return text + ".0";
	}

	// A name the body declares with int type anywhere, or an int built-in.
	bool IntName( size_t k ) const
	{
		if( tokens[ k ].kind != Token::Name )
			return false;
		const std::string& name = tokens[ k ].text;
		if( name == "PASSINDEX" || name == "FRAMEINDEX" )
			return true;
		for( size_t i = 0; i < tokens.size(); ++i )
			if( tokens[ i ].kind == Token::Name && tokens[ i ].text == name )
			{
				size_t type = PreviousSignificant( tokens, i );
				while( type != npos && tokens[ type ].Is( "," ) )
				{
					// `int a, b`: walk back over earlier declarators.
					size_t j = PreviousSignificant( tokens, type );
					while( j != npos && !tokens[ j ].Is( ";" ) && !tokens[ j ].Is( "(" ) && !tokens[ j ].Is( "{" ) &&
						   !( tokens[ j ].kind == Token::Name && ( tokens[ j ].text == "int" || tokens[ j ].text == "float" ) ) )
						j = PreviousSignificant( tokens, j );
					type = j;
				}
				if( type != npos && tokens[ type ].kind == Token::Name &&
					( tokens[ type ].text == "int" || tokens[ type ].text == "uint" || tokens[ type ].text.rfind( "ivec", 0 ) == 0 ) )
					return true;
			}
		return false;
	}

	// IMG_* at `k`: writes the expansion and sets `after` to the closing
	// parenthesis. Arguments are split at top-level commas, so nested calls
	// and vectors pass through whole.
	bool Macro( size_t k, size_t end, std::string& out, size_t& after )
	{
		const std::string& name = tokens[ k ].text;
		// texture2D and texture2DRect on an ISF image read it as
		// IMG_NORM_PIXEL and IMG_PIXEL do; on other samplers they map plainly.
		static const std::set< std::string > known = { "IMG_PIXEL", "IMG_NORM_PIXEL", "IMG_THIS_PIXEL", "IMG_THIS_NORM_PIXEL",
													   "IMG_NORM_THIS_PIXEL", "IMG_SIZE", "texture2D", "texture2DRect" };
		if( !known.count( name ) )
			return false;
		const size_t open = NextSignificant( tokens, k );
		if( open == npos || open >= end || !tokens[ open ].Is( "(" ) )
			return false;
		const size_t close = Matching( tokens, open );
		if( close == npos || close >= end )
			return false;
		std::vector< std::string > args;
		size_t start = open + 1;
		int depth    = 0;
		for( size_t j = open + 1; j <= close; ++j )
		{
			const Token& t = tokens[ j ];
			if( t.Is( "(" ) || t.Is( "[" ) )
				++depth;
			else if( ( t.Is( ")" ) || t.Is( "]" ) ) && j != close )
				--depth;
			if( ( depth == 0 && t.Is( "," ) ) || j == close )
			{
				std::string arg = Emit( start, j );
				// Blanks around an argument go; line breaks stay, so lines keep their numbers.
				while( !arg.empty() && ( arg.front() == ' ' || arg.front() == '\t' ) )
					arg.erase( arg.begin() );
				while( !arg.empty() && ( arg.back() == ' ' || arg.back() == '\t' ) )
					arg.pop_back();
				args.push_back( arg );
				start = j + 1;
			}
		}
		const bool plainCall     = name == "texture2D" || name == "texture2DRect";
		const bool pointArgument = name == "IMG_PIXEL" || name == "IMG_NORM_PIXEL" || plainCall;
		if( args.size() != ( pointArgument ? 2u : 1u ) )
			return false;
		std::string image = args[ 0 ];
		image.erase( std::remove_if( image.begin(), image.end(), []( char c ) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; } ),
					 image.end() );
		// Known images carry their size and texture-coordinate scale in
		// uniforms; anything else (a sampler passed to a function) is asked.
		const bool knownImage = Contains( images, image );
		if( plainCall && !knownImage )
			return false;
		const std::string size = knownImage ? "_" + image + "_imgSize" : "vec2(textureSize(" + image + ", 0))";
		// A host texture larger than its picture: coordinates scaled to the
		// picture and kept within its outer texel centres, so filtering
		// never blends in the padding beyond it.
		auto sample = [ & ]( const std::string& coordinate ) {
			if( !knownImage )
				return "texture(" + image + ", " + coordinate + ")";
			const std::string rect = "_" + image + "_imgRect";
			return "texture(" + image + ", clamp(" + coordinate + " * _" + image + "_imgScale, " + rect + ".xy, " + rect + ".zw))";
		};
		if( name == "IMG_SIZE" )
			out += "(" + size + ")";
		else if( name == "IMG_NORM_PIXEL" || name == "texture2D" )
			out += sample( "(" + args[ 1 ] + ")" );
		else if( name == "IMG_PIXEL" || name == "texture2DRect" )
			out += sample( "(" + args[ 1 ] + ") / " + size );
		else if( name == "IMG_THIS_PIXEL" )
			out += sample( "gl_FragCoord.xy / " + size );
		else
			out += sample( "isf_FragNormCoord" );
		after = close;
		return true;
	}
};

const char* UniformType( InputType type )
{
	switch( type )
	{
	case InputType::Event:
	case InputType::Bool: return "bool";
	case InputType::Long: return "int";
	case InputType::Float: return "float";
	case InputType::Point2D: return "vec2";
	case InputType::Color: return "vec4";
	default: return "sampler2D";
	}
}

std::string Declarations( const Document& document )
{
	std::string text = "uniform int PASSINDEX;\n"
					   "uniform vec2 RENDERSIZE;\n"
					   "uniform float TIME;\n"
					   "uniform float TIMEDELTA;\n"
					   "uniform vec4 DATE;\n"
					   "uniform int FRAMEINDEX;\n";
	for( const Input& input : document.inputs )
		if( input.type != InputType::Image && input.type != InputType::Audio && input.type != InputType::AudioFFT )
			text += std::string( "uniform " ) + UniformType( input.type ) + " " + GlslName( input.name ) + ";\n";
	for( const std::string& name : ImageNames( document ) )
	{
		const std::string image = GlslName( name );
		text += "uniform sampler2D " + image + ";\nuniform vec2 _" + image + "_imgSize;\nuniform vec2 _" + image + "_imgScale;\nuniform vec4 _" +
				image + "_imgRect;\n";
	}
	return text;
}

// Strips #version and #extension lines (their newline stays).
std::string WithoutVersionLines( const std::string& body )
{
	static const std::regex directive( R"((^|\n)[ \t]*#[ \t]*(version|extension)[^\n]*)" );
	return std::regex_replace( body, directive, "$1" );
}

std::string TranslateBody( const Document& document, const std::string& body, bool vertex, bool floatLiterals )
{
	std::vector< Token > tokens = Tokenize( WithoutVersionLines( body ) );
	std::set< std::string > uniforms = { "TIME", "TIMEDELTA", "DATE", "FRAMEINDEX", "RENDERSIZE", "PASSINDEX" };
	for( const Input& input : document.inputs )
		uniforms.insert( input.name );
	// The lenient reading is the fallback's, as for float literals.
	MoveGlobalInitialisers( tokens, floatLiterals ? &uniforms : nullptr );
	tokens = Tokenize( Join( tokens ) );
	std::set< std::string > rename = NamesToRename( tokens );
	std::vector< std::string > images;
	for( const std::string& name : ImageNames( document ) )
		images.push_back( GlslName( name ) );
	// Inputs, images and buffers named with words GLSL 4.10 keeps for itself.
	for( const Input& input : document.inputs )
		if( GlslName( input.name ) != input.name )
			rename.insert( input.name );
	for( const std::string& name : ImageNames( document ) )
		if( GlslName( name ) != name )
			rename.insert( name );
	Rewriter rewriter( tokens, images, vertex, rename, floatLiterals );
	return rewriter.Emit( 0, tokens.size() );
}
}// namespace

std::string GlslName( const std::string& name )
{
	return NewKeywords().count( name ) || name == "texture" ? "isf_u_" + name : name;
}

std::vector< std::string > ImageNames( const Document& document )
{
	std::vector< std::string > names;
	for( const Input& input : document.inputs )
		if( input.type == InputType::Image || input.type == InputType::Audio || input.type == InputType::AudioFFT )
			names.push_back( input.name );
	for( const ImportedImage& image : document.imported )
		names.push_back( image.name );
	for( const Pass& pass : document.passes )
		if( !pass.target.empty() && !Contains( names, pass.target ) )
			names.push_back( pass.target );
	return names;
}

GeneratedShaders Translate( const Document& document, const std::string& vertexText, TranslateOptions options )
{
	const std::string declarations = Declarations( document );
	GeneratedShaders shaders;
	shaders.fragment = "#version 410 core\n" + declarations +
					   "in vec2 isf_FragNormCoord;\n"
					   "out vec4 isf_FragColor;\n"
					   "vec4 isf_texture2DRect(sampler2D s, vec2 c) { return texture(s, c / vec2(textureSize(s, 0))); }\n"
					   "#line " +
					   std::to_string( document.bodyLine ) + " 0\n" +
					   TranslateBody( document, document.body, false, options.floatLiterals );
	shaders.vertex = "#version 410 core\n" + declarations +
					 "layout(location = 0) in vec3 isf_Position;\n"
					 "out vec2 isf_FragNormCoord;\n"
					 "void isf_vertShaderInit() { gl_Position = vec4(isf_Position.xy, 0.0, 1.0); isf_FragNormCoord = isf_Position.xy * 0.5 + 0.5; }\n";
	if( vertexText.empty() )
		shaders.vertex += "void main() { isf_vertShaderInit(); }\n";
	else
		shaders.vertex += "#line 1 1\n" + TranslateBody( document, vertexText, true, options.floatLiterals );
	return shaders;
}

std::string DescribeLog( const std::string& log, const std::string& fragmentFile, const std::string& vertexFile )
{
	// Mesa writes "0:12(5): error: ...", others "ERROR: 0:12: ...".
	static const std::regex position( R"(([0-9]+):([0-9]+)(\(([0-9]+)\))?)" );
	std::string out;
	std::string line;
	size_t start = 0;
	while( start < log.size() )
	{
		size_t end = log.find( '\n', start );
		if( end == npos )
			end = log.size();
		line = log.substr( start, end - start );
		start = end + 1;
		std::smatch match;
		if( std::regex_search( line, match, position ) && match.position( 0 ) < 12 )
		{
			const std::string& file = match[ 1 ] == "1" ? vertexFile : fragmentFile;
			const std::string where = file + ":" + match[ 2 ].str() + ( match[ 4 ].matched ? ":" + match[ 4 ].str() : "" );
			line = line.substr( 0, match.position( 0 ) ) + where + line.substr( match.position( 0 ) + match.length( 0 ) );
		}
		if( !line.empty() )
			out += line + "\n";
	}
	return out;
}
}// namespace isf
