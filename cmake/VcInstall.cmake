# Installs headers, libraries, a CMake package (find_package(vcdisplay)) and a
# pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS vccore vcvgr vcdisplay EXPORT vcdisplayTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/vc DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY vgr/include/vgr DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(VC_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vcdisplay)
install(EXPORT vcdisplayTargets NAMESPACE vc:: DESTINATION ${VC_CMAKE_DIR})
configure_package_config_file(cmake/vcdisplayConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/vcdisplayConfig.cmake INSTALL_DESTINATION ${VC_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/vcdisplayConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vcdisplayConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/vcdisplayConfigVersion.cmake DESTINATION ${VC_CMAKE_DIR})

# The .pc file names its prefix relative to its own folder.
file(RELATIVE_PATH VC_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
string(REGEX REPLACE "/$" "" VC_PC_TO_PREFIX "${VC_PC_TO_PREFIX}")
configure_file(cmake/vcdisplay.pc.in ${CMAKE_CURRENT_BINARY_DIR}/vcdisplay.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vcdisplay.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
