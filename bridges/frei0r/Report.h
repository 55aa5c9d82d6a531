// The bridge's only channel to the user inside someone else's program: one
// line on standard error per problem. A host that retries a failing call
// every frame (MLT does) gets the line once, not once per frame.
#pragma once

#include <string>

namespace ffglfrei0r
{
// Writes "ffgl-frei0r: <subject>: <reason>" unless that exact line was
// written before in this process. Line breaks in the reason become spaces.
void ReportOnce( const std::string& subject, const std::string& reason );
}// namespace ffglfrei0r
