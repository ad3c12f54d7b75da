# Runs a command and fails unless it exits with the expected status and
# prints something to standard error.
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_VARIABLE out)
if(NOT status EQUAL EXPECTED)
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED}")
endif()
if(err STREQUAL "")
  message(FATAL_ERROR "nothing on standard error")
endif()
