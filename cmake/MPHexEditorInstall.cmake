# The editor component as a library for other projects.
#
# `cmake --install` puts the five libraries, their headers and the CMake
# package MPHexEditor under the prefix:
#
#   lib/libmphexeditor_*.{a,so}            the libraries (BUILD_SHARED_LIBS decides)
#   include/mphexeditor/platform/...       headers, by the same paths as in
#   include/mphexeditor/hexeditor/...      this tree ("hexeditor/ex/mphexeditorex.h")
#   lib/cmake/MPHexEditor/                 MPHexEditorConfig.cmake, version file, targets
#
# A project then writes find_package(MPHexEditor REQUIRED) and links
#   MPHexEditor::Core     the widget-free editor core (Qt Core only)
#   MPHexEditor::Widgets  TMPHexEditor and TMPHexEditorEx (Qt Widgets)
# Everything below them (MPHexEditor::PlatformCore, ::Platform, ::Editor) comes
# along as their link dependency, in the right order.
#
# All of it belongs to the install component "development"; the programs'
# rules stay in the default component "programs".

include(CMakePackageConfigHelpers)

set(MPHEXEDITOR_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/MPHexEditor)
set(MPHEXEDITOR_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/mphexeditor)

# target        export name     file name (lib<name>)       header folder
set(MPHEXEDITOR_LIBRARIES
    "platform_core|PlatformCore|mphexeditor_platformcore|platform/core"
    "hexeditor_core|Core|mphexeditor_core|hexeditor/core"
    "platform|Platform|mphexeditor_platform|platform"
    "hexeditor|Editor|mphexeditor|hexeditor"
    "hexeditor_ex|Widgets|mphexeditor_ex|hexeditor/ex")

set(MPHEXEDITOR_TARGETS)
foreach(entry IN LISTS MPHEXEDITOR_LIBRARIES)
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 target)
  list(GET fields 1 export_name)
  list(GET fields 2 file_name)
  list(GET fields 3 header_dir)
  set_target_properties(${target} PROPERTIES
    EXPORT_NAME ${export_name}
    OUTPUT_NAME ${file_name}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR})
  list(APPEND MPHEXEDITOR_TARGETS ${target})
  file(GLOB headers ${PROJECT_SOURCE_DIR}/${header_dir}/*.h)
  install(FILES ${headers} DESTINATION ${MPHEXEDITOR_INCLUDE_DIR}/${header_dir}
          COMPONENT development)
endforeach()

# Shared: each installed library finds the ones below it, and the programs
# find the libraries, wherever the prefix is (RUNPATH relative to $ORIGIN).
if(BUILD_SHARED_LIBS)
  set_target_properties(${MPHEXEDITOR_TARGETS} PROPERTIES INSTALL_RPATH "$ORIGIN")
  file(RELATIVE_PATH bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  foreach(program editboot hexview)
    if(TARGET ${program})
      set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_lib}")
    endif()
  endforeach()
endif()

# In-tree users may already spell the package's names.
add_library(MPHexEditor::Core ALIAS hexeditor_core)
add_library(MPHexEditor::Widgets ALIAS hexeditor_ex)

# Shared libraries belong to the programs' package (the programs need them
# at run time); the link-time name and static archives to the development one.
install(TARGETS ${MPHEXEDITOR_TARGETS} EXPORT MPHexEditorTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT programs
          NAMELINK_COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs
  INCLUDES DESTINATION ${MPHEXEDITOR_INCLUDE_DIR})

install(EXPORT MPHexEditorTargets NAMESPACE MPHexEditor::
        DESTINATION ${MPHEXEDITOR_PACKAGE_DIR} COMPONENT development)

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/MPHexEditorConfig.cmake.in
  ${PROJECT_BINARY_DIR}/MPHexEditorConfig.cmake
  INSTALL_DESTINATION ${MPHEXEDITOR_PACKAGE_DIR})
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/MPHexEditorConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/MPHexEditorConfig.cmake
              ${PROJECT_BINARY_DIR}/MPHexEditorConfigVersion.cmake
        DESTINATION ${MPHEXEDITOR_PACKAGE_DIR} COMPONENT development)
