# Fails when a committed file differs from what tess_catalogue prints for it.
foreach(pair "exports;tests/exports/tess_functions.txt" "header;include/zorn/tess_functions.h"
             "index;docs/functions.md")
  list(GET pair 0 mode)
  list(GET pair 1 file)
  execute_process(COMMAND ${TOOL} ${mode} ${SOURCE_DIR} OUTPUT_VARIABLE generated RESULT_VARIABLE rc)
  file(READ ${SOURCE_DIR}/${file} committed)
  if(NOT rc EQUAL 0 OR NOT generated STREQUAL committed)
    message(FATAL_ERROR "${file} is not current: regenerate it with `tess_catalogue ${mode}`")
  endif()
endforeach()
