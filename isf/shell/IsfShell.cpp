// The ISF shell: a plug-in library that reads the ISF shader appended to its
// own file (see IsfBundle.h) and registers itself from it.
#include "IsfPlugin.h"

namespace
{
// Read at load, before the record below: both live in this one file, so the
// order of their construction is fixed.
const isf::Payload& payload_ = isf::LoadedPayload();

CFFGLPluginInfo PluginInfo( PluginFactory< isf::IsfPlugin >,
							payload_.id.c_str(),
							payload_.name.c_str(),
							2,
							1,
							1,
							0,
							payload_.type,
							payload_.description.c_str(),
							payload_.about.c_str() );
}// namespace
