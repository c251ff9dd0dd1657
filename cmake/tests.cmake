# One GoogleTest program per folder under tests/, and the exported-symbol check.
if(WIN32)
  # GoogleTest from the sources Debian installs, built for the target.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
# tests/common holds helpers shared by every test program.
file(GLOB ZORN_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/common/*.cpp)
list(FILTER ZORN_TEST_SUPPORT_SOURCES EXCLUDE REGEX "_${ZORN_OTHER_PLATFORM}\\.cpp$")
add_library(zorn_test_support STATIC ${ZORN_TEST_SUPPORT_SOURCES})
target_include_directories(zorn_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
file(GLOB ZORN_TEST_DIRS LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*)
list(FILTER ZORN_TEST_DIRS EXCLUDE REGEX "/tests/common$")
foreach(dir ${ZORN_TEST_DIRS})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  # Tests of one platform's behaviour end in _linux_test.cpp or _windows_test.cpp.
  list(FILTER sources EXCLUDE REGEX "_${ZORN_OTHER_PLATFORM}_test\\.cpp$")
  if(NOT IS_DIRECTORY ${dir} OR NOT sources)
    continue()
  endif()
  # MPFR, GMP, GSL and the MPFR-based accuracy harness are host-only libraries: a folder
  # whose extra.cmake links them is not built for Windows.
  if(WIN32 AND EXISTS ${dir}/extra.cmake)
    file(READ ${dir}/extra.cmake extra_text)
    if(extra_text MATCHES "mpfr|gmp|gsl|accuracy/")
      continue()
    endif()
  endif()
  get_filename_component(name ${dir} NAME)
  add_executable(test_${name} ${sources})
  # White-box tests link the foundation, the folder of the same name and the folders
  # listed in tests/<folder>/links.txt; black-box ones load the .so itself.
  set(links ${ZORN_BASE_LIBRARIES})
  if(TARGET zorn_${name})
    list(APPEND links zorn_${name})
  endif()
  if(EXISTS ${dir}/links.txt)
    file(STRINGS ${dir}/links.txt extra REGEX "^[a-z_]+$")
    foreach(folder ${extra})
      list(APPEND links zorn_${folder})
    endforeach()
  endif()
  list(REMOVE_DUPLICATES links)
  target_link_libraries(test_${name} PRIVATE ${links} zorn_core zorn_test_support
                        GTest::gtest GTest::gtest_main)
  target_include_directories(test_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(test_${name} PRIVATE
    ZORN_GENERIC_LIBRARY="$<TARGET_FILE:zorn_generic>"
    ZORN_CORE_LIBRARY="$<TARGET_FILE:zorn_core>"
    ZORN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # Only programs that load the built library need it built first; the others must
  # not wait on every folder compiling.
  set(loads_library FALSE)
  foreach(source ${sources})
    file(STRINGS ${source} uses REGEX "ZORN_GENERIC_LIBRARY")
    if(uses)
      set(loads_library TRUE)
    endif()
  endforeach()
  if(loads_library)
    add_dependencies(test_${name} zorn_generic)
  endif()
  # A folder may add to its program (e.g. link MPFR) in tests/<folder>/extra.cmake,
  # which sees the target name in ZORN_TEST_TARGET.
  if(EXISTS ${dir}/extra.cmake)
    set(ZORN_TEST_TARGET test_${name})
    include(${dir}/extra.cmake)
  endif()
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endforeach()

# The exported symbol set is exactly the union of tests/exports/*.txt.
if(NOT WIN32)
  add_test(NAME exported_symbols
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-exports.sh $<TARGET_FILE:zorn_generic>
            ${CMAKE_SOURCE_DIR}/tests/exports)
endif()

# Installation into a temporary prefix, used through pkg-config and find_package. The
# consumers are built without the sanitizers, so an instrumented library cannot serve them.
if(NOT WIN32 AND NOT ZORN_SANITIZE)
  add_test(NAME install_and_use
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-install.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
endif()
