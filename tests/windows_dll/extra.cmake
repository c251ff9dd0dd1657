# Black-box: the program loads the built DLLs itself, from its own folder. It links none
# of the library's objects, so that it does not import zorn_core.dll on its own.
set_property(TARGET ${ZORN_TEST_TARGET} PROPERTY LINK_LIBRARIES
             zorn_test_support GTest::gtest GTest::gtest_main)
add_dependencies(${ZORN_TEST_TARGET} zorn_generic zorn_core)
