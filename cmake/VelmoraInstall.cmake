# The install tree: bin/velmora, lib/ with both libraries (RPATH $ORIGIN/../lib, so the tree
# works wherever it is copied), include/velmora/ with the public headers, and the CMake
# package and pkg-config file for host projects.
include(CMakePackageConfigHelpers)

set(velmora_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Velmora)

set_target_properties(velmora_headers PROPERTIES EXPORT_NAME headers)
install(TARGETS VelmoraU Harnel velmora_headers EXPORT VelmoraTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES dll/velmora.h dll/export.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velmora/dll)
install(FILES base/text.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velmora/base)
install(FILES provider/records.h provider/provider.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velmora/provider)

install(EXPORT VelmoraTargets NAMESPACE Velmora:: DESTINATION ${velmora_cmake_dir})
configure_package_config_file(cmake/VelmoraConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/VelmoraConfig.cmake
                              INSTALL_DESTINATION ${velmora_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VelmoraConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VelmoraConfig.cmake
              ${PROJECT_BINARY_DIR}/VelmoraConfigVersion.cmake
        DESTINATION ${velmora_cmake_dir})

configure_file(cmake/velmora.pc.in ${PROJECT_BINARY_DIR}/velmora.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/velmora.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
