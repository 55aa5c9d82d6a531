# What `cmake --install <build> --prefix P` puts under P (GNUInstallDirs
# layout), and the CMake package and pkg-config file that find it there. Every
# path written into an installed file is relative to the file itself, so the
# installed folder can be moved.
include(CMakePackageConfigHelpers)

# The SDK: headers in their folders, the static library, the export map.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/source/lib/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")
install(TARGETS ffgl-sdk EXPORT FFGLSDKTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/cmake/plugin-exports.map DESTINATION ${FFGL_INSTALL_DATADIR})
# The plug-in project an author copies, for those who have the package but
# not this tree.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/templates/plugin DESTINATION ${FFGL_INSTALL_DATADIR}/templates)

# The host library with its headers, and the plughost tool, so that authors
# can load and render their plug-ins the way our tests do.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/host/
  DESTINATION ${FFGL_INSTALL_HOST_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")
install(TARGETS plughost EXPORT FFGLSDKTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS plughost-cli EXPORT FFGLSDKTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The frei0r bridge shell, which plughost also carries built in.
install(TARGETS ffgl-frei0r-bridge LIBRARY DESTINATION ${FFGL_INSTALL_BRIDGEDIR})

# The CMake package: FFGLSDK::ffgl-sdk, FFGLSDK::plughost,
# FFGLSDK::plughost-cli and ffgl_add_plugin().
install(EXPORT FFGLSDKTargets
  NAMESPACE FFGLSDK::
  DESTINATION ${FFGL_INSTALL_CMAKEDIR})
configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/FFGLSDKConfig.cmake.in
  ${PROJECT_BINARY_DIR}/FFGLSDKConfig.cmake
  INSTALL_DESTINATION ${FFGL_INSTALL_CMAKEDIR}
  PATH_VARS FFGL_INSTALL_DATADIR FFGL_INSTALL_PLUGINDIR)
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/FFGLSDKConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/FFGLSDKConfig.cmake
  ${PROJECT_BINARY_DIR}/FFGLSDKConfigVersion.cmake
  ${PROJECT_SOURCE_DIR}/cmake/FFGLPlugin.cmake
  DESTINATION ${FFGL_INSTALL_CMAKEDIR})

# pkg-config, for builds without CMake. Paths start from ${pcfiledir}.
file(RELATIVE_PATH FFGL_PC_PREFIX
  /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" FFGL_PC_PREFIX "${FFGL_PC_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/ffgl-sdk.pc.in ${PROJECT_BINARY_DIR}/ffgl-sdk.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/ffgl-sdk.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Installed binaries carry no debug information: it would name this build's
# folders and triple the size. Symbol tables stay, so the static libraries
# link and backtraces keep their function names.
get_property(ffgl_installed_plugins GLOBAL PROPERTY FFGL_INSTALLED_PLUGINS)
set(ffgl_installed_binaries
  ${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:ffgl-sdk>
  ${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:plughost>
  ${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:plughost-cli>
  ${FFGL_INSTALL_BRIDGEDIR}/$<TARGET_FILE_NAME:ffgl-frei0r-bridge>)
foreach(plugin ${ffgl_installed_plugins})
  list(APPEND ffgl_installed_binaries ${FFGL_INSTALL_PLUGINDIR}/$<TARGET_FILE_NAME:${plugin}>)
endforeach()
install(CODE "
  foreach(file ${ffgl_installed_binaries})
    set(path \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${file}\")
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --strip-debug \"\${path}\" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR \"could not remove the debug information from \${path}\")
    endif()
  endforeach()
")

# The clock and the examples as frei0r modules where every frei0r host
# looks, made from the installed (stripped) plug-ins by the plughost just built.
set(ffgl_installed_plugin_files "")
foreach(plugin ${ffgl_installed_plugins})
  list(APPEND ffgl_installed_plugin_files "\${prefix}/${FFGL_INSTALL_PLUGINDIR}/$<TARGET_FILE_NAME:${plugin}>")
endforeach()
install(CODE "
  set(prefix \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  execute_process(COMMAND \"${CMAKE_COMMAND}\" -E env ASAN_OPTIONS=detect_leaks=0
      \"$<TARGET_FILE:plughost-cli>\" frei0r ${ffgl_installed_plugin_files} --dir \"\${prefix}/${FFGL_INSTALL_FREI0RDIR}\"
    RESULT_VARIABLE failed OUTPUT_VARIABLE written ERROR_VARIABLE why)
  if(failed)
    message(FATAL_ERROR \"could not make the frei0r modules: \${why}\")
  endif()
  message(STATUS \"Installing frei0r modules: \${written}\")
")
