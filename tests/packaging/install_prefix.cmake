# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DPREFIX=... -P install_prefix.cmake
# A fresh install of the whole build into PREFIX.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status})")
endif()
# No path of the build or source tree may reach an installed CMake file.
file(GLOB_RECURSE cmake_files ${PREFIX}/*.cmake)
if(NOT cmake_files)
  message(FATAL_ERROR "no CMake package files were installed")
endif()
foreach(file IN LISTS cmake_files)
  file(READ ${file} text)
  foreach(tree ${BUILD_DIR} ${SOURCE_DIR})
    string(FIND "${text}" "${tree}" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "${file} names the build tree ${tree}")
    endif()
  endforeach()
endforeach()
message(STATUS "installed into ${PREFIX}")
