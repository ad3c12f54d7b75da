# Runs a command and fails unless it exits with the expected status and says
# why in one line on standard error, or nothing when the status is 0 (what Qt
# says about the test's environment does not count).
# OUTPUT names a file for its standard output (/dev/full: every write fails);
# READER is a command its output is piped into, one that stops reading early.
if(READER)
  execute_process(COMMAND ${COMMAND} COMMAND ${READER}
                  RESULTS_VARIABLE statuses ERROR_VARIABLE err OUTPUT_QUIET)
  list(GET statuses 0 status)
elseif(OUTPUT)
  execute_process(COMMAND ${COMMAND} RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_FILE ${OUTPUT})
else()
  execute_process(COMMAND ${COMMAND} RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_VARIABLE out)
endif()
if(NOT status EQUAL EXPECTED)
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED}; standard error: ${err}")
endif()
string(REGEX MATCHALL "(^|\n)vantrel[-a-z]*: " lines "${err}")
list(LENGTH lines count)
if(EXPECTED EQUAL 0 AND NOT count EQUAL 0)
  message(FATAL_ERROR "standard error not empty: ${err}")
elseif(NOT EXPECTED EQUAL 0 AND NOT count EQUAL 1)
  message(FATAL_ERROR "${count} lines on standard error, expected one: ${err}")
endif()
