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

# ffgl_add_frei0r(<plugin target> [OUTPUT_DIRECTORY dir] [INSTALL_DESTINATION dir])
# Makes the plug-in a frei0r module with `plughost frei0r` after each build of
# it, so ffmpeg, MLT (Kdenlive, Shotcut) and GStreamer load it: one
# self-contained file named after the plug-in ("Vavo Rozar" -> vavo_rozar.so)
# in OUTPUT_DIRECTORY (default <build folder>/frei0r/<target>). Point
# FREI0R_PATH there, or install it: INSTALL_DESTINATION lib/frei0r-1 under a
# /usr prefix is where every frei0r host looks.
function(ffgl_add_frei0r target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "OUTPUT_DIRECTORY;INSTALL_DESTINATION" "")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "ffgl_add_frei0r(${target}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "ffgl_add_frei0r(${target}): no such target")
  endif()
  if(TARGET plughost-cli)
    set(tool plughost-cli)
  elseif(TARGET FFGLSDK::plughost-cli)
    set(tool FFGLSDK::plughost-cli)
  else()
    message(FATAL_ERROR "ffgl_add_frei0r(${target}): the plughost tool is not known here (find_package(FFGLSDK))")
  endif()
  set(dir ${arg_OUTPUT_DIRECTORY})
  if(NOT dir)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/frei0r/${target})
  endif()
  # The module's name comes from the plug-in, so a stamp stands for it.
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/${target}-frei0r.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:${tool}> frei0r $<TARGET_FILE:${target}> --dir ${dir}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${target} ${tool}
    COMMENT "Making the frei0r module of ${target}"
    VERBATIM)
  add_custom_target(${target}-frei0r ALL DEPENDS ${stamp})
  if(arg_INSTALL_DESTINATION)
    install(DIRECTORY ${dir}/ DESTINATION ${arg_INSTALL_DESTINATION} FILES_MATCHING PATTERN "*.so")
  endif()
endfunction()
