# Build-time constants shown in the setup utility's build details: the build
# time as 14 digits, the release-candidate tag and the 40-digit source revision.
string(TIMESTAMP ONDAVIA_BUILD_TIME "%Y%m%d%H%M%S")
set(ONDAVIA_REVISION "0000000000000000000000000000000000000000")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse HEAD
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE _rev OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE _rev_rc ERROR_QUIET)
  if(_rev_rc EQUAL 0 AND _rev MATCHES "^[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]")
    string(LENGTH "${_rev}" _len)
    if(_len EQUAL 40)
      set(ONDAVIA_REVISION "${_rev}")
    endif()
  endif()
endif()
if(ONDAVIA_REVISION STREQUAL "0000000000000000000000000000000000000000")
  message(STATUS "Not a git checkout: source revision recorded as 40 zeros")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/buildinfo.h.in ${CMAKE_BINARY_DIR}/generated/buildinfo.h @ONLY)
add_library(ondavia_buildinfo INTERFACE)
target_include_directories(ondavia_buildinfo INTERFACE ${CMAKE_BINARY_DIR}/generated)
