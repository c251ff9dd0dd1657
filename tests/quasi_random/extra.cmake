# GSL's quasi-random generators are the independent reference (host only).
target_link_libraries(${ZORN_TEST_TARGET} PRIVATE gsl gslcblas)
