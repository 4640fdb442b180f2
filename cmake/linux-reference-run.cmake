# Runs the Linux program from a copy in OUT and leaves there the files it
# writes, for the Windows tests to compare against.
#   cmake -D EXE=... -D OUT=... -P linux-reference-run.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR "no Linux program at '${EXE}': build it first (make build)")
endif()
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
get_filename_component(_name "${EXE}" NAME)
file(COPY "${EXE}" DESTINATION "${OUT}")
execute_process(COMMAND "${OUT}/${_name}" RESULT_VARIABLE _status ERROR_VARIABLE _error)
file(REMOVE "${OUT}/${_name}")
if(NOT _status EQUAL 0)
  message(FATAL_ERROR "the Linux program failed (${_status}): ${_error}")
endif()
file(GLOB _written RELATIVE "${OUT}" "${OUT}/*")
message(STATUS "reference files: ${_written}")
