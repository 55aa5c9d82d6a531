// The clock's parameters, its construction and its registration.
#include "VavoRozar.h"

#include <cmath>

static CFFGLPluginInfo PluginInfo( PluginFactory< VavoRozar >,
								   "KP50",
								   "Vavo Rozar",
								   2,
								   1,
								   1,
								   0,
								   FF_SOURCE,
								   "Analog and digital clock faces",
								   "Vavo Rozar clock, by the Vavo Rozar team <clock@vavorozar.invalid>" );

namespace
{
// The display type is three switches; these are the only combinations used.
struct DisplayType
{
	bool smooth;
	bool digital;
	bool hourFormat24h;
};
constexpr DisplayType displayTypes_[ 4 ] = {
	{ false, false, false },// Analog
	{ true, false, false }, // Analog (Smooth)
	{ false, true, false }, // Digital 12h
	{ false, true, true },  // Digital 24h
};

bool IsOn( float value )
{
	return value > 0.5f;
}

float Clamp01( float value )
{
	return value < 0.0f ? 0.0f : ( value > 1.0f ? 1.0f : value );
}
}// namespace

float VavoRozar::SnapToWholeSixtieths( float value )
{
	int k = static_cast< int >( value * 60.0f + 0.5f );
	if( k > 59 )
		k = 59;
	return static_cast< float >( k ) / 60.0f;
}

VavoRozar::VavoRozar() :
	CFFGLPlugin( false )
{
	SetMinInputs( 1 );
	SetMaxInputs( 1 );

	SetOptionParamInfo( 0, "Display Type", 4, 0.0f );
	SetParamElementInfo( 0, 0, "Analog", 0.0f );
	SetParamElementInfo( 0, 1, "Analog (Smooth)", 1.0f );
	SetParamElementInfo( 0, 2, "Digital 12h", 2.0f );
	SetParamElementInfo( 0, 3, "Digital 24h", 3.0f );

	SetParamInfof( 1, "Show Seconds", FF_TYPE_BOOLEAN );
	SetParamInfof( 2, "Scale", FF_TYPE_STANDARD );
	SetParamInfof( 3, "Red", FF_TYPE_RED );
	SetParamInfof( 4, "Green", FF_TYPE_GREEN );
	SetParamInfof( 5, "Blue", FF_TYPE_BLUE );
	SetParamInfof( 6, "Manual Mode", FF_TYPE_BOOLEAN );
	SetParamInfof( 7, "Hours", FF_TYPE_STANDARD );
	SetParamInfof( 8, "Minutes", FF_TYPE_STANDARD );
	SetParamInfof( 9, "Seconds", FF_TYPE_STANDARD );
	SetParamInfof( 10, "Timezone Offset", FF_TYPE_INTEGER );
	SetParamRange( 10, -12.0f, 14.0f );
	SetParamInfof( 11, "Solid Background", FF_TYPE_BOOLEAN );
	SetParamInfof( 12, "Red Seconds Hand", FF_TYPE_BOOLEAN );

	FFGLLog::LogToHost( "Created VavoRozar effect" );
}

FFResult VavoRozar::SetFloatParameter( unsigned int index, float value )
{
	if( index > 12 )
		return FF_FAIL;
	// NaN has no order, so no rule below can place it: refused everywhere.
	// An infinity is refused only where it would be stored and reach the
	// programs (scale, colour, offset); the other rules clamp, compare or
	// range-test it like any large value.
	if( std::isnan( value ) )
		return FF_FAIL;
	if( std::isinf( value ) && ( ( index >= 2 && index <= 5 ) || index == 10 ) )
		return FF_FAIL;

	switch( index )
	{
	case 0:
	{
		// Round half up; only values that land on a choice change anything,
		// and the range test keeps the integer conversion defined.
		if( value >= 3.5f || value <= -1.5f )
			break;
		int choice = static_cast< int >( value + 0.5f );
		if( choice < 0 || choice > 3 )
			break;
		smooth        = displayTypes_[ choice ].smooth;
		digital       = displayTypes_[ choice ].digital;
		hourFormat24h = displayTypes_[ choice ].hourFormat24h;
		break;
	}
	case 1:
		showSeconds = IsOn( value );
		break;
	case 2:
		scale = value;
		break;
	case 3:
		red = value;
		break;
	case 4:
		green = value;
		break;
	case 5:
		blue = value;
		break;
	case 6:
		useSystemTime = !IsOn( value );
		break;
	case 7:
		manualHours = Clamp01( value );
		break;
	case 8:
		manualMinutes = smooth ? Clamp01( value ) : SnapToWholeSixtieths( Clamp01( value ) );
		break;
	case 9:
		manualSeconds = smooth ? Clamp01( value ) : SnapToWholeSixtieths( Clamp01( value ) );
		break;
	case 10:
		timezoneOffset = value;
		break;
	case 11:
		solidBackground = IsOn( value );
		break;
	case 12:
		redSecondsHand = IsOn( value );
		break;
	}
	return FF_SUCCESS;
}

float VavoRozar::GetFloatParameter( unsigned int index )
{
	switch( index )
	{
	case 0:
		if( digital )
			return hourFormat24h ? 3.0f : 2.0f;
		return smooth ? 1.0f : 0.0f;
	case 1:
		return showSeconds ? 1.0f : 0.0f;
	case 2:
		return scale;
	case 3:
		return red;
	case 4:
		return green;
	case 5:
		return blue;
	case 6:
		return useSystemTime ? 0.0f : 1.0f;
	case 7:
		return manualHours;
	case 8:
		return manualMinutes;
	case 9:
		return manualSeconds;
	case 10:
		return timezoneOffset;
	case 11:
		return solidBackground ? 1.0f : 0.0f;
	case 12:
		return redSecondsHand ? 1.0f : 0.0f;
	default:
		return 0.0f;
	}
}
