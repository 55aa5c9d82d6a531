# ffgl_add_plugin(<target> <sources>...)
# Builds a plug-in .so (a MODULE without the "lib" prefix) that exports exactly
# plugMain and SetLogCallback, so two plug-ins in one host process never see
# each other's statics. Used inside this tree and, installed, by
# find_package(FFGLSDK), which says where it installed the export map.
if(NOT FFGL_PLUGIN_EXPORT_MAP)
  set(FFGL_PLUGIN_EXPORT_MAP ${CMAKE_CURRENT_LIST_DIR}/plugin-exports.map)
endif()
# Kept as a property too, so a plug-in declared in another directory scope
# than the one that found the package still gets the map.
set_property(GLOBAL PROPERTY FFGL_PLUGIN_EXPORT_MAP ${FFGL_PLUGIN_EXPORT_MAP})

function(ffgl_add_plugin target)
  if(NOT ARGN)
    message(FATAL_ERROR "ffgl_add_plugin(${target}): no source files given")
  endif()
  get_property(map GLOBAL PROPERTY FFGL_PLUGIN_EXPORT_MAP)
  add_library(${target} MODULE ${ARGN})
  target_link_libraries(${target} PRIVATE FFGLSDK::ffgl-sdk)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS "${map}")
  target_link_options(${target} PRIVATE
    "-Wl,--version-script=${map}"
    -Wl,--undefined=plugMain
    -Wl,--undefined=SetLogCallback)
endfunction()
