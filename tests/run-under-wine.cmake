# Runs one test program of the Windows build under Wine: cmake -DTEST=<program> -P this file.
# Under Wine, Qt Test writes its log to Wine's console rather than to the pipe ctest reads, so
# the log goes to a file that is shown afterwards.
get_filename_component(dir "${TEST}" DIRECTORY)
get_filename_component(name "${TEST}" NAME_WE)
file(REMOVE "${dir}/${name}.log")
execute_process(COMMAND wine "${TEST}" -o "${name}.log,txt" WORKING_DIRECTORY "${dir}"
                RESULT_VARIABLE rc)
if(EXISTS "${dir}/${name}.log")
  file(READ "${dir}/${name}.log" log)
  message("${log}")
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${name} under Wine ended with ${rc}")
endif()
