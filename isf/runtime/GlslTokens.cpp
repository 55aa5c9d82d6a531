#include "GlslTokens.h"

#include <cctype>

namespace isf
{
namespace
{
bool NameStart( char c )
{
	return std::isalpha( static_cast< unsigned char >( c ) ) || c == '_';
}
bool NameChar( char c )
{
	return std::isalnum( static_cast< unsigned char >( c ) ) || c == '_';
}
}// namespace

std::vector< Token > Tokenize( const std::string& text )
{
	std::vector< Token > tokens;
	size_t k = 0;
	const size_t n = text.size();
	auto add = [ & ]( Token::Kind kind, size_t end ) {
		tokens.push_back( { kind, text.substr( k, end - k ) } );
		k = end;
	};
	while( k < n )
	{
		const char c = text[ k ];
		size_t e = k + 1;
		if( c == '\n' )
			add( Token::Newline, e );
		else if( c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v' )
		{
			while( e < n && ( text[ e ] == ' ' || text[ e ] == '\t' || text[ e ] == '\r' || text[ e ] == '\f' || text[ e ] == '\v' ) )
				++e;
			add( Token::Space, e );
		}
		else if( c == '/' && k + 1 < n && text[ k + 1 ] == '/' )
		{
			while( e < n && text[ e ] != '\n' )
				++e;
			add( Token::Comment, e );
		}
		else if( c == '/' && k + 1 < n && text[ k + 1 ] == '*' )
		{
			const size_t close = text.find( "*/", k + 2 );
			add( Token::Comment, close == std::string::npos ? n : close + 2 );
		}
		else if( NameStart( c ) )
		{
			while( e < n && NameChar( text[ e ] ) )
				++e;
			add( Token::Name, e );
		}
		else if( std::isdigit( static_cast< unsigned char >( c ) ) || ( c == '.' && k + 1 < n && std::isdigit( static_cast< unsigned char >( text[ k + 1 ] ) ) ) )
		{
			while( e < n )
			{
				const char d = text[ e ];
				if( NameChar( d ) || d == '.' )
					++e;
				else if( ( d == '+' || d == '-' ) && ( text[ e - 1 ] == 'e' || text[ e - 1 ] == 'E' ) &&
						 !( text[ k ] == '0' && e > k + 1 && ( text[ k + 1 ] == 'x' || text[ k + 1 ] == 'X' ) ) )
					++e;
				else
					break;
			}
			add( Token::Number, e );
		}
		else
			add( Token::Punct, e );
	}
	return tokens;
}

std::string Join( const std::vector< Token >& tokens, size_t begin, size_t end )
{
	std::string text;
	if( end > tokens.size() )
		end = tokens.size();
	for( size_t k = begin; k < end; ++k )
		text += tokens[ k ].text;
	return text;
}

size_t NextSignificant( const std::vector< Token >& tokens, size_t k )
{
	for( ++k; k < tokens.size(); ++k )
		if( tokens[ k ].Significant() )
			return k;
	return std::string::npos;
}

size_t PreviousSignificant( const std::vector< Token >& tokens, size_t k )
{
	while( k-- > 0 )
		if( tokens[ k ].Significant() )
			return k;
	return std::string::npos;
}

size_t Matching( const std::vector< Token >& tokens, size_t open )
{
	const std::string& o = tokens[ open ].text;
	const char* c        = o == "(" ? ")" : o == "[" ? "]" : o == "{" ? "}" : nullptr;
	if( !c )
		return std::string::npos;
	int depth = 0;
	for( size_t k = open; k < tokens.size(); ++k )
	{
		if( tokens[ k ].kind != Token::Punct )
			continue;
		if( tokens[ k ].text == o )
			++depth;
		else if( tokens[ k ].text == c && --depth == 0 )
			return k;
	}
	return std::string::npos;
}
}// namespace isf
