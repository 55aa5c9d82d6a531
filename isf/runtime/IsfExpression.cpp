#include "IsfExpression.h"

#include "IsfDocument.h"

#include <muParser.h>

#include <cmath>
#include <regex>

namespace isf
{
double Evaluate( const std::string& expression, const std::map< std::string, double >& variables )
{
	// muparser names may not start with `$`: $name becomes isf_var_name.
	static const std::regex dollar( R"(\$([A-Za-z_][A-Za-z0-9_]*))" );
	const std::string text = std::regex_replace( expression, dollar, "isf_var_$1" );
	try
	{
		mu::Parser parser;
		// Rounding functions muparser lacks; files use floor above all.
		parser.DefineFun( "floor", static_cast< double ( * )( double ) >( std::floor ) );
		parser.DefineFun( "ceil", static_cast< double ( * )( double ) >( std::ceil ) );
		parser.DefineFun( "round", static_cast< double ( * )( double ) >( std::round ) );
		parser.DefineFun( "trunc", static_cast< double ( * )( double ) >( std::trunc ) );
		parser.DefineFun( "fract", +[]( double x ) { return x - std::floor( x ); } );
		parser.DefineFun( "pow", static_cast< double ( * )( double, double ) >( std::pow ) );
		parser.DefineFun( "mod", +[]( double x, double y ) { return x - y * std::floor( x / y ); } );
		std::map< std::string, double > values = variables;
		for( auto& [ name, value ] : values )
			parser.DefineVar( "isf_var_" + name, &value );
		parser.SetExpr( text );
		const double value = parser.Eval();
		if( !std::isfinite( value ) )
			throw Error( "the size expression \"" + expression + "\" has no finite value" );
		return value;
	}
	catch( const mu::Parser::exception_type& error )
	{
		std::string message = error.GetMsg();
		// Our renamed variables read back as the file wrote them.
		message = std::regex_replace( message, std::regex( "isf_var_" ), "$$" );
		throw Error( "the size expression \"" + expression + "\" cannot be evaluated: " + message );
	}
}

int PixelCount( double value, int limit )
{
	if( !( value >= 1.0 ) )
		return 1;
	if( value >= static_cast< double >( limit ) )
		return limit;
	return static_cast< int >( value );
}
}// namespace isf
