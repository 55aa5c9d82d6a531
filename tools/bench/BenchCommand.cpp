#include "BenchCommand.h"

#include "BenchMeasure.h"
#include "BenchOptions.h"
#include "BenchReport.h"
#include "common/CrashNotice.h"
#include "common/PluginSetup.h"

#include <PlugHost.h>

#include <algorithm>

namespace plughost::cli
{
namespace
{
int RunBench( const std::vector< std::string >& args, std::ostream& out, std::ostream& err )
{
	const BenchOptions options = ParseBenchArgs( args );
	AnnouncePluginCrashes();
	PluginLibrary library( options.plugin );
	if( library.Initialise() != FF_SUCCESS )
		throw Failure{ options.plugin + ": the plug-in failed to initialise" };
	const Capabilities caps = library.Caps();

	BenchPlan plan;
	plan.library  = &library;
	plan.settings = ResolveSettings( library.DescribeAll(), options.settings );
	plan.sendTime = caps.timeSupported;
	plan.frames   = options.frames;
	plan.warmup   = options.warmup;
	PrintWarnings( err, plan.settings );
	if( !options.inputs.empty() )
		CheckInputCount( library, caps, options.inputs.size() );
	const std::vector< Image > given = ReadInputs( options.inputs );
	const uint32_t generated = given.empty() ? GeneratedInputCount( library, caps ) : 0;

	BenchReport report;
	report.plugin = options.plugin;
	report.name   = library.Identity().name;
	report.type   = PluginTypeName( library.Identity().type );
	report.frames = options.frames;
	report.warmup = options.warmup;
	for( const Setting& setting : options.settings )
		report.settings.push_back( setting.name + "=" + setting.value );
	if( generated > 0 )
		report.settings.push_back( std::to_string( generated ) + " generated test pattern(s)" );

	GLContext context;
	report.renderer = context.Renderer();
	for( const auto& [ width, height ] : options.sizes )
	{
		const InputTextures textures = UploadInputs( given.empty() ? TestPatterns( generated, width, height ) : given );
		report.sizes.push_back( MeasureSize( plan, width, height, textures.inputs ) );
	}
	if( options.json )
		PrintJson( out, report );
	else
		PrintTable( out, report );
	return kExitOk;
}
}// namespace

std::vector< Image > TestPatterns( uint32_t count, uint32_t width, uint32_t height )
{
	std::vector< Image > patterns;
	for( uint32_t i = 0; i < count; ++i )
		patterns.push_back( i % 2 == 0 ? GradientImage( width, height )
									   : CheckerImage( width, height, std::max( 1u, std::min( width, height ) / 8 ),
													   Rgba{ 230, 60, 40, 255 }, Rgba{ 30, 90, 200, 160 } ) );
	return patterns;
}

CommandSpec BenchCommand()
{
	return { "bench", "bench PLUGIN.so", "time a plug-in's frames and instantiation at given sizes", BenchUsage, RunBench };
}
}// namespace plughost::cli
