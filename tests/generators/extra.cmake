# The tests share the table tools' GF(2) arithmetic and plain reference transcriptions.
target_include_directories(${ZORN_TEST_TARGET} PRIVATE ${CMAKE_SOURCE_DIR}/tools)
# Random123 (header-only) is the counter-based generators' oracle; the Windows build
# reads the host's copy through a folder that holds it alone.
if(WIN32)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/random123)
  file(CREATE_LINK /usr/include/Random123 ${CMAKE_BINARY_DIR}/random123/Random123 SYMBOLIC)
  target_include_directories(${ZORN_TEST_TARGET} SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/random123)
endif()
