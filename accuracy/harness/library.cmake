# The accuracy harness library: MPFR references, the ulp measure, the argument domains
# and generators, the kernel runner and the bounds table. Shared by the zorn_accuracy
# program and the tests; included from both places, defined once.
if(NOT TARGET zorn_accuracy_harness)
  file(GLOB ZORN_ACCURACY_HARNESS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/accuracy/harness/*.cpp)
  add_library(zorn_accuracy_harness STATIC ${ZORN_ACCURACY_HARNESS_SOURCES})
  target_include_directories(zorn_accuracy_harness PUBLIC ${CMAKE_SOURCE_DIR}/accuracy ${CMAKE_SOURCE_DIR}/src
                             ${CMAKE_SOURCE_DIR}/include)
  target_link_libraries(zorn_accuracy_harness PUBLIC mpfr gmp Threads::Threads)
endif()
# The domain table names only the fields a line sets (designated initializers).
set_source_files_properties(${CMAKE_SOURCE_DIR}/accuracy/harness/function_rows.cpp PROPERTIES
                            COMPILE_OPTIONS -Wno-missing-field-initializers)
