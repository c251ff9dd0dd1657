# Installation: both libraries side by side in lib/ (the kernel library loads its
# sibling from its own directory), the headers, a pkg-config file and a CMake package
# (find_package(zorn) gives zorn::generic and zorn::core).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS zorn_generic zorn_core EXPORT zornTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/zorn DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(ZORN_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zorn)
install(EXPORT zornTargets NAMESPACE zorn:: DESTINATION ${ZORN_CMAKE_DIR})
configure_package_config_file(cmake/zornConfig.cmake.in ${CMAKE_BINARY_DIR}/zornConfig.cmake
                              INSTALL_DESTINATION ${ZORN_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/zornConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/zornConfig.cmake ${CMAKE_BINARY_DIR}/zornConfigVersion.cmake
        DESTINATION ${ZORN_CMAKE_DIR})

# The .pc file names the prefix relative to its own place, so `cmake --install --prefix`
# may choose another prefix than the configured one.
file(RELATIVE_PATH ZORN_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" ZORN_PC_TO_PREFIX "${ZORN_PC_TO_PREFIX}")
configure_file(cmake/zorn.pc.in ${CMAKE_BINARY_DIR}/zorn.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/zorn.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
