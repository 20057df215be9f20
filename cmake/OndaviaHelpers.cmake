# The sanitizer settings every test runs with. Leaks fail a test: the suite
# runs with LeakSanitizer on, with suppressions only for system libraries
# (tests/sanitizers/lsan.supp). Under ThreadSanitizer, races fail a test,
# with suppressions only for uninstrumented system libraries
# (tests/sanitizers/tsan.supp). ONDAVIA_DETECT_LEAKS is found by a probe in
# the top-level CMakeLists.txt: 0 only where LeakSanitizer cannot run.
if(NOT DEFINED ONDAVIA_DETECT_LEAKS)
  set(ONDAVIA_DETECT_LEAKS 1)
endif()
set(ONDAVIA_SANITIZER_ENV
  "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=${ONDAVIA_DETECT_LEAKS}"
  "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/sanitizers/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
  "TSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/sanitizers/tsan.supp:second_deadlock_stack=1")

# ondavia_add_qtest(NAME <name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>] [TIMEOUT <s>])
# Builds a QtTest executable and registers it with CTest under the offscreen
# platform, with the sanitizer settings the preload libraries need.
function(ondavia_add_qtest)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt5::Test ${T_LIBS})
  # Helpers shared by the test areas (answering modal dialogs, ...).
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common)
  # The test's own folder, for its data files; an absolute path, so it holds
  # whatever the compiler records as the source file's name.
  target_compile_definitions(${T_NAME} PRIVATE ONDAVIA_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ONDAVIA_SANITIZER_ENV};${T_ENV}")
  if(T_NAME IN_LIST ONDAVIA_THREADED_TESTS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS threads)
    add_dependencies(threaded-tests ${T_NAME})
  endif()
endfunction()

# Adds every direct sub-folder that has a CMakeLists.txt, in name order, so a
# new component only needs its own folder.
macro(ondavia_add_subdirs)
  file(GLOB _ondavia_children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _ondavia_children)
  foreach(_child ${_ondavia_children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endmacro()

# ondavia_glob_static_library(<target> [EXCLUDE <files...>] LIBS <deps...>)
# A static library of every .cpp/.h in the current folder. The setup
# utility's subsystems call each other both ways, which CMake allows between
# static libraries. An empty folder yields an empty library so that
# dependants still link.
function(ondavia_glob_static_library target)
  cmake_parse_arguments(L "" "" "EXCLUDE;LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(_ex ${L_EXCLUDE})
    list(REMOVE_ITEM _src ${CMAKE_CURRENT_SOURCE_DIR}/${_ex})
  endforeach()
  set(_cpp ${_src})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(NOT _cpp)
    # Keeps every component a static library while its folder is still empty.
    set(_stub ${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp)
    file(WRITE ${_stub} "namespace { [[maybe_unused]] int ${target}_empty; }\n")
    list(APPEND _src ${_stub})
  endif()
  add_library(${target} STATIC ${_src})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${L_LIBS})
endfunction()

# ondavia_private_shm_test(<test target>)
# Runs a test that uses the card arrival segment with a private /dev/shm of
# its own (scripts/private-shm), never the machine's; skipped with the
# reason where the machine cannot make one.
function(ondavia_private_shm_test name)
  set_target_properties(${name} PROPERTIES
    CROSSCOMPILING_EMULATOR "sh;${CMAKE_SOURCE_DIR}/scripts/private-shm;--skip")
  set_tests_properties(${name} PROPERTIES
    SKIP_REGULAR_EXPRESSION "SKIPPED: this machine cannot make a private")
endfunction()
