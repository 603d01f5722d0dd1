# What `cmake --install` adds for hosts beyond the binaries: a CMake package,
# a pkg-config file, and a Debian package built by CPack.
include(CMakePackageConfigHelpers)

set(SNT_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/systemnotifytoast)
set(SNT_INSTALL_LIBDIR ${CMAKE_INSTALL_LIBDIR})
set(SNT_MODULE_FILE_NAME libsystemnotifytoast.so.${PROJECT_VERSION_MAJOR})
set(SNT_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/SystemNotifyToast)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/SystemNotifyToastConfig.cmake.in
  ${PROJECT_BINARY_DIR}/SystemNotifyToastConfig.cmake
  INSTALL_DESTINATION ${SNT_CMAKE_DIR}
  PATH_VARS SNT_INSTALL_INCLUDEDIR SNT_INSTALL_LIBDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/SystemNotifyToastConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/SystemNotifyToastConfig.cmake
              ${PROJECT_BINARY_DIR}/SystemNotifyToastConfigVersion.cmake
        DESTINATION ${SNT_CMAKE_DIR})

# The .pc file finds its prefix from where it lies, so the package can move.
file(RELATIVE_PATH SNT_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" SNT_PC_TO_PREFIX "${SNT_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/systemnotifytoast.pc.in
  ${PROJECT_BINARY_DIR}/systemnotifytoast.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/systemnotifytoast.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME systemnotifytoast)
set(CPACK_PACKAGE_VENDOR "Orvex Office")
set(CPACK_PACKAGE_CONTACT "Orvex Office toast module maintainers <toast@orvex.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Toast notifications for Orvex Office hosts")
set(CPACK_PACKAGE_DESCRIPTION
  "The toast module, its public headers, toastctl, and the stand-ins of the host kit and Windows runtime it needs on Linux.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Registers the shared libraries with ldconfig on install and removal.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dunst | notification-daemon")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
