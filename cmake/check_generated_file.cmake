# Runs COMMAND (a list: tool and arguments) and fails unless it prints exactly FILE.
execute_process(COMMAND ${COMMAND} OUTPUT_VARIABLE generated RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "`${COMMAND}` failed (${rc})")
endif()
file(READ ${FILE} committed)
if(NOT generated STREQUAL committed)
  message(FATAL_ERROR "${FILE} is not current: regenerate it with `${COMMAND} > ${FILE}`")
endif()
