// Each test plug-in with a planted fault, validated in full at level 1: the
// check meant for the fault FAILs, naming the request, and no other does.
#include "RunSupport.h"

#include <gtest/gtest.h>

using namespace validatetest;

namespace
{
TEST( ValidateRun, EachPlantedFaultFailsItsOwnCheck )
{
	const Case cases[] = {
		{ Planted( "PlantedNullRecord" ), { "null.record-20" }, "during code 20 (set time) with a null time pointer" },
		{ Planted( "PlantedTextureLeak" ), { "frames.object-growth", "lifecycle.lifetimes" }, "textures (" },
		{ Planted( "PlantedProgramBound" ), { "frames.resting-state" }, "program" },
		{ Planted( "PlantedUnit3" ), { "frames.resting-state" }, "texture unit 3 is still active" },
		{ Planted( "PlantedFboUnbound" ), { "frames.framebuffer" }, "framebuffer 0 is bound for" },
		{ Planted( "PlantedNaN" ), { "hostile.floats" }, "answers NaN after code 8 (set parameter)" },
		{ Planted( "PlantedDisplayNoNul" ), { "parameters.display" }, "16 bytes with no NUL" },
		{ Planted( "PlantedSharedValue" ), { "instances.independent" }, "changed another instance's value" },
		{ Planted( "PlantedGLError" ), { "frames.gl-errors" }, "GL_INVALID_ENUM is pending after code 17" },
		{ Planted( "PlantedHang" ), { "host.time" }, "hung: timed out after 3 s", { "--timeout", "3" } },
		{ Planted( "PlantedSharedProgram" ), { "instances.after-destroy" }, "code 19 (de-instantiate) of one instance" },
		{ Planted( "PlantedIgnoresPadding" ), { "frames.input-padding" }, "in 128x64 allocations" },
		{ Planted( "PlantedParamProgram" ), { "host.gl-state" }, "after code 8 (set parameter) on parameter 0 \"Level\"" },
		{ Planted( "PlantedNoInputCheck" ), { "frames.missing-inputs" }, "during code 17 (process frame) at 64x48 with no inputs" },
		{ Planted( "PlantedWritesInput" ), { "frames.inputs-untouched" }, "changed the host's input texture 0" },
	};
	for( const Case& c : cases )
		Expect( c );
}

}// namespace
