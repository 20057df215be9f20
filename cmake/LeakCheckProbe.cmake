# Finds whether LeakSanitizer can run on this machine: it stops the process's
# threads the way a debugger does, which some containers forbid. A small
# leaking program is built with the address sanitizer and run; where the
# leak is not reported, the tests run with leak checks off, and configure
# says so (scripts/test prints it too), so that a clean run is never taken
# for a leak-free one.
set(ONDAVIA_DETECT_LEAKS 1)
set(ONDAVIA_LEAK_CHECK_NOTE "")
if(ONDAVIA_SANITIZE)
  set(_probe_dir ${CMAKE_BINARY_DIR}/leak-check-probe)
  file(WRITE ${_probe_dir}/leak.c
    "#include <stdlib.h>\nvoid* volatile kept;\nint main(void) { for (int i = 0; i < 100; ++i) kept = malloc(33); kept = 0; return 0; }\n")
  try_compile(_probe_built ${_probe_dir}/build ${_probe_dir}/leak.c
    COMPILE_DEFINITIONS -fsanitize=address LINK_OPTIONS -fsanitize=address
    COPY_FILE ${_probe_dir}/leak)
  if(_probe_built)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1 ${_probe_dir}/leak
      RESULT_VARIABLE _probe_rc OUTPUT_VARIABLE _probe_out ERROR_VARIABLE _probe_out)
    if(NOT _probe_out MATCHES "detected memory leaks")
      set(ONDAVIA_DETECT_LEAKS 0)
      string(REGEX MATCH "LeakSanitizer[^\n]*" _probe_why "${_probe_out}")
      set(ONDAVIA_LEAK_CHECK_NOTE "LeakSanitizer cannot run on this machine (${_probe_why}); the tests run without leak checks")
      message(WARNING "${ONDAVIA_LEAK_CHECK_NOTE}")
    endif()
  endif()
endif()
# Read by scripts/test to say whether leaks were checked.
file(WRITE ${CMAKE_BINARY_DIR}/leak-checks "${ONDAVIA_DETECT_LEAKS}\n${ONDAVIA_LEAK_CHECK_NOTE}\n")
