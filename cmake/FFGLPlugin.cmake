# ffgl_add_plugin(<target> <sources>...)
# Builds a plug-in .so that exports exactly plugMain and SetLogCallback, so
# two plug-ins in one host process never see each other's statics.
function(ffgl_add_plugin target)
  add_library(${target} MODULE ${ARGN})
  target_link_libraries(${target} PRIVATE ffgl-sdk)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${FFGL_PLUGIN_EXPORT_MAP})
  target_link_options(${target} PRIVATE
    -Wl,--version-script=${FFGL_PLUGIN_EXPORT_MAP}
    -Wl,--undefined=plugMain
    -Wl,--undefined=SetLogCallback)
endfunction()
set(FFGL_PLUGIN_EXPORT_MAP ${CMAKE_CURRENT_LIST_DIR}/plugin-exports.map)
