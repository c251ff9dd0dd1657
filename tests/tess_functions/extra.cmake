include(${CMAKE_SOURCE_DIR}/accuracy/harness/library.cmake)
target_link_libraries(${ZORN_TEST_TARGET} PRIVATE zorn_accuracy_harness)
