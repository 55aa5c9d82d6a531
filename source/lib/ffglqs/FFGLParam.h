// Parameter objects of the quick-start framework. Each describes one
// host-visible parameter: a name, a host type code and the current value,
// plus what its kind needs (a range, options, a text, a spectrum buffer).
// The plug-in base registers them and turns them into GLSL uniforms.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "../ffgl/FFGL.h"

namespace ffglqs
{
// Spectrum length of a ParamFFT made without an explicit length.
constexpr uint64_t DEFAULT_BUFFER_SIZE = 2048;

class Param
{
public:
	static std::shared_ptr< Param > Create();
	static std::shared_ptr< Param > Create( std::string name );
	static std::shared_ptr< Param > Create( std::string name, float value );
	static std::shared_ptr< Param > Create( std::string name, uint32_t type, float value );

	Param();
	explicit Param( std::string name );
	Param( std::string name, float value );
	Param( std::string name, uint32_t type, float value );
	// Virtual so that deleting through a base pointer made outside the
	// factories is still well defined.
	virtual ~Param() = default;

	// Stored unchanged: no clamping, no conversion.
	virtual void SetValue( float value );
	virtual float GetValue() const;

	const std::string& GetName() const;
	uint32_t GetType() const;

protected:
	float value = 0.0f;
	std::string name;
	uint32_t type = FF_TYPE_STANDARD;
};

class ParamBool : public Param
{
public:
	static std::shared_ptr< ParamBool > Create( std::string name );
	static std::shared_ptr< ParamBool > Create( std::string name, bool defaultValue );

	explicit ParamBool( std::string name, bool defaultValue = false );
};

class ParamEvent : public Param
{
public:
	static std::shared_ptr< ParamEvent > Create( std::string name );

	explicit ParamEvent( std::string name );
};

// An event that reads as fired during exactly one frame: the plug-in base
// consumes every trigger after drawing.
class ParamTrigger : public ParamEvent
{
public:
	static std::shared_ptr< ParamTrigger > Create( std::string name );

	explicit ParamTrigger( std::string name );

	void Consume();
};

// A spectrum delivered by the host as the element values of a buffer
// parameter; the plug-in base copies them into `fftData` every frame.
class ParamFFT : public Param
{
public:
	static std::shared_ptr< ParamFFT > Create( std::string name );
	static std::shared_ptr< ParamFFT > Create( std::string name, uint64_t bufferSize );

	explicit ParamFFT( std::string name, uint64_t bufferSize = DEFAULT_BUFFER_SIZE );

	uint32_t index = 0;
	std::vector< float > fftData;
};

class ParamOption : public Param
{
public:
	struct Option
	{
		std::string name;
		float value = 0.0f;
	};
	typedef std::vector< Option > Options;

	static std::shared_ptr< ParamOption > Create( std::string name, Options options );
	static std::shared_ptr< ParamOption > Create( std::string name, Options options, int32_t defaultOption );

	ParamOption( std::string name, Options options, int32_t defaultOption = 0 );

	// Selects the option at the truncated index and keeps the given value.
	// An index beyond the list (also NaN or -1 and below) stores 0 and
	// selects the first option, so the value and the current option agree.
	void SetValue( float value ) override;

	float GetRealValue() const;
	bool IsCurrentOption( const std::string& optionName ) const;

	Options options;
	Option currentOption;
};

class ParamRange : public Param
{
public:
	struct Range
	{
		Range() = default;
		Range( float lowest, float highest ) : min( lowest ), max( highest ) {}
		float min = 0.0f;
		float max = 1.0f;
	};

	static std::shared_ptr< ParamRange > Create( std::string name, float value, Range range );
	static std::shared_ptr< ParamRange > CreateInteger( std::string name, int32_t value, Range range );

	ParamRange( std::string name, float value, Range range );

	Range GetRange() const;
	// The value mapped from the range onto 0..1, clamped.
	float GetNormalizedValue() const;

	// Only the integer factory changes the type after construction.
	void SetType( uint32_t newType ) { type = newType; }

protected:
	Range range;
};

class ParamText : public Param
{
public:
	static std::shared_ptr< ParamText > create( std::string name );
	static std::shared_ptr< ParamText > create( std::string name, std::string text );

	explicit ParamText( std::string name, std::string text = "" );

	std::string text;
};

}// namespace ffglqs
