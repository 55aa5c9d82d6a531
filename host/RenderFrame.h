// One frame: bind the target, optionally clear it, run code 17.
#pragma once

#include "Image.h"
#include "InputTexture.h"
#include "Instance.h"
#include "RenderTarget.h"

#include <vector>

namespace plughost
{
struct FrameOptions
{
	bool clear = true;// to transparent black first
};

// Answers the plug-in's result for code 17.
uint32_t RenderFrame( Instance& instance, const RenderTarget& target,
					  const std::vector< const InputTexture* >& inputs = {}, FrameOptions options = {} );

// RenderFrame, then the pixels; throws Error when the plug-in fails the frame.
Image RenderImage( Instance& instance, const RenderTarget& target,
				   const std::vector< const InputTexture* >& inputs = {}, FrameOptions options = {} );
}// namespace plughost
