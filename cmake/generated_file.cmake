# Files under version control that a tool in tools/ prints (tables, generated headers,
# reference pages). Each is registered with
#   zorn_generated_file(<file, relative to the source tree> <tool target> [arguments...])
# which is also the record of how to regenerate it:
#   <build>/bin/<tool> [arguments...] > <file>
# and adds the test `generated:<file>`, failing when the committed file differs from
# what the tool prints, so a table cannot drift from the rule that defines it.
set(ZORN_CHECK_GENERATED_FILE ${CMAKE_CURRENT_LIST_DIR}/check_generated_file.cmake)

function(zorn_generated_file file tool)
  set(command $<TARGET_FILE:${tool}> ${ARGN})
  add_test(NAME generated:${file}
           COMMAND ${CMAKE_COMMAND} -DFILE=${CMAKE_SOURCE_DIR}/${file} "-DCOMMAND=${command}"
                   -P ${ZORN_CHECK_GENERATED_FILE})
endfunction()
