target_link_libraries(${ZORN_TEST_TARGET} PRIVATE mpfr gmp)
