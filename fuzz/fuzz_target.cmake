# zorn_fuzz_target(<name> FOLDERS <src folders>...): the libFuzzer program fuzz_<name>
# from fuzz/<name>/*.cpp. The source folders it exercises are compiled into the program
# itself so that they carry the coverage instrumentation; the rest of the foundation
# comes from its object libraries. `make fuzz` builds the target fuzz_all: these
# programs only, not the whole tree.
if(NOT TARGET fuzz_all)
  add_custom_target(fuzz_all)
endif()
function(zorn_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "FOLDERS" ${ARGN})
  set(sources)
  foreach(folder ${ARG_FOLDERS})
    file(GLOB_RECURSE folder_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
    list(APPEND sources ${folder_sources})
  endforeach()
  file(GLOB own CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/${name}/*.cpp)
  add_executable(fuzz_${name} ${own} ${sources})
  target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined
                         -fno-sanitize-recover=undefined)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/include
                             ${CMAKE_SOURCE_DIR}/fuzz)
  set(base ${ZORN_BASE_LIBRARIES})
  foreach(folder ${ARG_FOLDERS})
    list(REMOVE_ITEM base zorn_${folder})
  endforeach()
  target_link_libraries(fuzz_${name} PRIVATE ${base} Threads::Threads ${CMAKE_DL_LIBS})
  add_dependencies(fuzz_${name} zorn_core)
  add_dependencies(fuzz_all fuzz_${name})
endfunction()
