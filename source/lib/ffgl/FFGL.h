// Host interface: the records and codes that cross the plug-in boundary.
// Every record here is a host-visible binary format; sizes and offsets are
// checked at compile time below.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define FFGL_EXPORT extern "C" __declspec(dllexport)
#else
#define FFGL_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Result values.
typedef uint32_t FFResult;
constexpr uint32_t FF_SUCCESS = 0;
constexpr uint32_t FF_FAIL = 0xFFFFFFFF;
constexpr uint32_t FF_TRUE = 1;
constexpr uint32_t FF_FALSE = 0;
constexpr uint32_t FF_SUPPORTED = 1;
constexpr uint32_t FF_UNSUPPORTED = 0;

// Function codes of plugMain.
constexpr uint32_t FF_GET_INFO = 0;
constexpr uint32_t FF_DEINITIALISE = 2;
constexpr uint32_t FF_GET_NUM_PARAMETERS = 4;
constexpr uint32_t FF_GET_PARAMETER_NAME = 5;
constexpr uint32_t FF_GET_PARAMETER_DEFAULT = 6;
constexpr uint32_t FF_GET_PARAMETER_DISPLAY = 7;
constexpr uint32_t FF_SET_PARAMETER = 8;
constexpr uint32_t FF_GET_PARAMETER = 9;
constexpr uint32_t FF_GET_PLUGIN_CAPS = 10;
constexpr uint32_t FF_GET_EXTENDED_INFO = 13;
constexpr uint32_t FF_GET_PARAMETER_TYPE = 15;
constexpr uint32_t FF_GET_INPUT_STATUS = 16;
constexpr uint32_t FF_PROCESS_OPENGL = 17;
constexpr uint32_t FF_INSTANTIATE_GL = 18;
constexpr uint32_t FF_DEINSTANTIATE_GL = 19;
constexpr uint32_t FF_SET_TIME = 20;
constexpr uint32_t FF_CONNECT = 21;
constexpr uint32_t FF_DISCONNECT = 22;
constexpr uint32_t FF_RESIZE = 23;
constexpr uint32_t FF_GET_NUM_PARAMETER_ELEMENTS = 31;
constexpr uint32_t FF_GET_PARAMETER_USAGE = 32;
constexpr uint32_t FF_GET_PLUGIN_SHORT_NAME = 33;
constexpr uint32_t FF_INITIALISE_V2 = 34;
constexpr uint32_t FF_GET_PARAMETER_ELEMENT_NAME = 35;
constexpr uint32_t FF_GET_PARAMETER_ELEMENT_VALUE = 36;
constexpr uint32_t FF_SET_PARAMETER_ELEMENT_VALUE = 37;
constexpr uint32_t FF_SET_BEATINFO = 38;
constexpr uint32_t FF_SET_HOSTINFO = 39;
constexpr uint32_t FF_SET_SAMPLERATE = 40;
constexpr uint32_t FF_GET_RANGE = 41;
constexpr uint32_t FF_GET_THUMBNAIL = 42;
constexpr uint32_t FF_GET_NUM_FILE_PARAMETER_EXTENSIONS = 43;
constexpr uint32_t FF_GET_FILE_PARAMETER_EXTENSION = 44;
constexpr uint32_t FF_GET_PARAMETER_VISIBILITY = 45;
constexpr uint32_t FF_GET_PARAMETER_EVENTS = 46;
constexpr uint32_t FF_GET_NUM_ELEMENT_SEPARATORS = 47;
constexpr uint32_t FF_GET_SEPARATOR_ELEMENT_INDEX = 48;
constexpr uint32_t FF_ENABLE_PLUGIN_CAP = 49;
constexpr uint32_t FF_GET_PARAM_GROUP = 50;
constexpr uint32_t FF_GET_PARAM_DISPLAY_NAME = 51;

// Capability codes (codes 10 and 49).
constexpr uint32_t FF_CAP_SET_TIME = 5;
constexpr uint32_t FF_CAP_MINIMUM_INPUT_FRAMES = 10;
constexpr uint32_t FF_CAP_MAXIMUM_INPUT_FRAMES = 11;
constexpr uint32_t FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION = 16;

// Plug-in types.
constexpr uint32_t FF_EFFECT = 0;
constexpr uint32_t FF_SOURCE = 1;
constexpr uint32_t FF_MIXER = 2;

// Parameter types.
constexpr uint32_t FF_TYPE_BOOLEAN = 0;
constexpr uint32_t FF_TYPE_EVENT = 1;
constexpr uint32_t FF_TYPE_RED = 2;
constexpr uint32_t FF_TYPE_GREEN = 3;
constexpr uint32_t FF_TYPE_BLUE = 4;
constexpr uint32_t FF_TYPE_STANDARD = 10;
constexpr uint32_t FF_TYPE_OPTION = 11;
constexpr uint32_t FF_TYPE_BUFFER = 12;
constexpr uint32_t FF_TYPE_INTEGER = 13;
constexpr uint32_t FF_TYPE_FILE = 14;
constexpr uint32_t FF_TYPE_TEXT = 100;
constexpr uint32_t FF_TYPE_HUE = 200;
constexpr uint32_t FF_TYPE_SATURATION = 201;
constexpr uint32_t FF_TYPE_BRIGHTNESS = 202;
constexpr uint32_t FF_TYPE_ALPHA = 203;

// Parameter usages.
constexpr uint32_t FF_USAGE_STANDARD = 0;
constexpr uint32_t FF_USAGE_FFT = 1;

// Pending parameter event flags.
constexpr uint64_t FF_EVENT_FLAG_VISIBILITY = 1;
constexpr uint64_t FF_EVENT_FLAG_DISPLAY_NAME = 2;
constexpr uint64_t FF_EVENT_FLAG_VALUE = 4;
constexpr uint64_t FF_EVENT_FLAG_ELEMENTS = 8;

// Texture orientations.
constexpr uint32_t FF_TEXTURE_ORIENTATION_DEFAULT = 0;
constexpr uint32_t FF_TEXTURE_ORIENTATION_TOP_LEFT = 1;

// The failure code widened to a pointer answer.
inline void* FFWidenedFail() { return reinterpret_cast<void*>(static_cast<uintptr_t>(FF_FAIL)); }

union FFMixed
{
	uint32_t UIntValue;
	float FloatValue;
	void* PointerValue;
};

struct FFGLViewportStructTag
{
	uint32_t x, y, width, height;
};
typedef FFGLViewportStructTag FFGLViewportStruct;

struct FFGLTextureStructTag
{
	uint32_t Width, Height;
	uint32_t HardwareWidth, HardwareHeight;
	uint32_t Handle;
};
typedef FFGLTextureStructTag FFGLTextureStruct;

struct ProcessOpenGLStructTag
{
	uint32_t numInputTextures;
	FFGLTextureStruct** inputTextures;
};
typedef ProcessOpenGLStructTag ProcessOpenGLStruct;

struct ParamEventStructTag
{
	uint32_t ParameterNumber;
	uint64_t eventFlags;
};
typedef ParamEventStructTag ParamEventStruct;

// Code 8.
struct SetParameterStructTag
{
	uint32_t ParameterNumber;
	FFMixed NewParameterValue;
};
typedef SetParameterStructTag SetParameterStruct;

// Codes 35, 36, 44, 48.
struct GetParameterElementStructTag
{
	uint32_t ParameterNumber;
	uint32_t ElementNumber;
};
typedef GetParameterElementStructTag GetParameterElementStruct;

// Code 37.
struct SetParameterElementValueStructTag
{
	uint32_t ParameterNumber;
	uint32_t ElementNumber;
	float NewParameterValue;
};
typedef SetParameterElementValueStructTag SetParameterElementValueStruct;

// Code 38.
struct SetBeatinfoStructTag
{
	float bpm;
	float barPhase;
};
typedef SetBeatinfoStructTag SetBeatinfoStruct;

// Code 39.
struct SetHostinfoStructTag
{
	const char* hostName;
	const char* hostVersion;
};
typedef SetHostinfoStructTag SetHostinfoStruct;

// Code 41.
struct RangeStructTag
{
	uint32_t parameterNumber;
	float min;
	float max;
};
typedef RangeStructTag RangeStruct;

// Code 42.
struct GetThumbnailStructTag
{
	uint32_t width;
	uint32_t height;
	void* rgbaPixelBuffer;
};
typedef GetThumbnailStructTag GetThumbnailStruct;

// Code 46.
struct GetParamEventsStructTag
{
	uint32_t numEvents;
	ParamEventStruct* events;
};
typedef GetParamEventsStructTag GetParamEventsStruct;

struct StringBufferStructTag
{
	char* address;
	uint32_t maxToWrite;
};
typedef StringBufferStructTag StringBufferStruct;

// Codes 50, 51.
struct GetStringStructTag
{
	uint32_t parameterNumber;
	StringBufferStruct stringBuffer;
};
typedef GetStringStructTag GetStringStruct;

// Code 0.
struct PluginInfoStructTag
{
	uint32_t APIMajorVersion;
	uint32_t APIMinorVersion;
	char PluginUniqueID[4];
	char PluginName[16];
	uint32_t PluginType;
};
typedef PluginInfoStructTag PluginInfoStruct;

// Code 13.
struct PluginExtendedInfoStructTag
{
	uint32_t PluginMajorVersion;
	uint32_t PluginMinorVersion;
	const char* Description;
	const char* About;
	uint32_t FreeFrameExtendedDataSize;
	const void* FreeFrameExtendedDataBlock;
};
typedef PluginExtendedInfoStructTag PluginExtendedInfoStruct;

typedef void (*FFGLLogCallback)(const char* message);

// The two exported entry points.
FFGL_EXPORT FFMixed plugMain(uint32_t functionCode, FFMixed inputValue, void* instanceID);
FFGL_EXPORT void SetLogCallback(FFGLLogCallback callback);
typedef FFMixed (*FF_Main_FuncPtr)(uint32_t, FFMixed, void*);
typedef void (*FF_SetLogCallback_FuncPtr)(FFGLLogCallback);

// Binary layout of every record that crosses the boundary.
static_assert(sizeof(FFMixed) == 8, "FFMixed");
static_assert(sizeof(FFGLViewportStruct) == 16, "viewport");
static_assert(sizeof(FFGLTextureStruct) == 20, "texture");
static_assert(sizeof(ProcessOpenGLStruct) == 16 && offsetof(ProcessOpenGLStruct, inputTextures) == 8, "frame");
static_assert(sizeof(ParamEventStruct) == 16 && offsetof(ParamEventStruct, eventFlags) == 8, "event");
static_assert(sizeof(SetParameterStruct) == 16 && offsetof(SetParameterStruct, NewParameterValue) == 8, "set parameter");
static_assert(sizeof(GetParameterElementStruct) == 8 && offsetof(GetParameterElementStruct, ElementNumber) == 4, "element query");
static_assert(sizeof(SetParameterElementValueStruct) == 12 && offsetof(SetParameterElementValueStruct, NewParameterValue) == 8, "element value");
static_assert(sizeof(SetBeatinfoStruct) == 8 && offsetof(SetBeatinfoStruct, barPhase) == 4, "beat");
static_assert(sizeof(SetHostinfoStruct) == 16 && offsetof(SetHostinfoStruct, hostVersion) == 8, "host info");
static_assert(sizeof(RangeStruct) == 12 && offsetof(RangeStruct, min) == 4 && offsetof(RangeStruct, max) == 8, "range");
static_assert(sizeof(GetThumbnailStruct) == 16 && offsetof(GetThumbnailStruct, rgbaPixelBuffer) == 8, "thumbnail");
static_assert(sizeof(GetParamEventsStruct) == 16 && offsetof(GetParamEventsStruct, events) == 8, "events");
static_assert(sizeof(StringBufferStruct) == 16 && offsetof(StringBufferStruct, maxToWrite) == 8, "string buffer");
static_assert(sizeof(GetStringStruct) == 24 && offsetof(GetStringStruct, stringBuffer) == 8, "text query");
static_assert(sizeof(PluginInfoStruct) == 32 && offsetof(PluginInfoStruct, PluginUniqueID) == 8 &&
				  offsetof(PluginInfoStruct, PluginName) == 12 && offsetof(PluginInfoStruct, PluginType) == 28,
			  "plug-in info");
static_assert(sizeof(PluginExtendedInfoStruct) == 40 && offsetof(PluginExtendedInfoStruct, Description) == 8 &&
				  offsetof(PluginExtendedInfoStruct, About) == 16 &&
				  offsetof(PluginExtendedInfoStruct, FreeFrameExtendedDataSize) == 24 &&
				  offsetof(PluginExtendedInfoStruct, FreeFrameExtendedDataBlock) == 32,
			  "extended info");
