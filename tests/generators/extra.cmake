# The tests share the table tools' GF(2) arithmetic and plain reference transcriptions.
target_include_directories(${ZORN_TEST_TARGET} PRIVATE ${CMAKE_SOURCE_DIR}/tools)
