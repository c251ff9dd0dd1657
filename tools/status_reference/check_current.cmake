# Fails when the committed page differs from what the tool prints.
execute_process(COMMAND ${TOOL} OUTPUT_VARIABLE generated RESULT_VARIABLE rc)
file(READ ${PAGE} committed)
if(NOT rc EQUAL 0 OR NOT generated STREQUAL committed)
  message(FATAL_ERROR "${PAGE} is not current: regenerate it with status_reference")
endif()
