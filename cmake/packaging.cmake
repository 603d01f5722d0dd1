# What `cmake --install` adds for hosts beyond the binaries: a CMake package,
# a pkg-config file, and a Debian package built by CPack. Every name carries
# the Qt build's suffix (SNT_NAME, SNT_CMAKE_PACKAGE: cmake/SntQt.cmake).
include(CMakePackageConfigHelpers)

set(SNT_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/${SNT_NAME})
set(SNT_INSTALL_LIBDIR ${CMAKE_INSTALL_LIBDIR})
set(SNT_MODULE_FILE_NAME lib${SNT_NAME}.so.${PROJECT_VERSION_MAJOR})
set(SNT_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/${SNT_CMAKE_PACKAGE})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/SystemNotifyToastConfig.cmake.in
  ${PROJECT_BINARY_DIR}/${SNT_CMAKE_PACKAGE}Config.cmake
  INSTALL_DESTINATION ${SNT_CMAKE_DIR}
  PATH_VARS SNT_INSTALL_INCLUDEDIR SNT_INSTALL_LIBDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/${SNT_CMAKE_PACKAGE}ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/${SNT_CMAKE_PACKAGE}Config.cmake
              ${PROJECT_BINARY_DIR}/${SNT_CMAKE_PACKAGE}ConfigVersion.cmake
        DESTINATION ${SNT_CMAKE_DIR})

# The .pc file finds its prefix from where it lies, so the package can move.
file(RELATIVE_PATH SNT_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" SNT_PC_TO_PREFIX "${SNT_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/systemnotifytoast.pc.in
  ${PROJECT_BINARY_DIR}/${SNT_NAME}.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${SNT_NAME}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Files a Debian package carries beside the binaries; plain installs get them too.
set(SNT_DEBIAN_DIR ${PROJECT_SOURCE_DIR}/cmake/debian)
set(SNT_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/${SNT_NAME})
find_program(GZIP_EXECUTABLE gzip REQUIRED)
# -n: no name or time stamp, so that the same input gives the same package.
function(snt_gzip out in)
  add_custom_command(OUTPUT ${out}
    COMMAND ${GZIP_EXECUTABLE} -n -9 -c ${in} > ${out}
    DEPENDS ${in} VERBATIM)
endfunction()
snt_gzip(${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz ${SNT_DEBIAN_DIR}/changelog)
# The manual page is named after the program (toastctl-qt6 for a Qt 6 build).
set(SNT_TOASTCTL toastctl${SNT_NAME_SUFFIX})
set(SNT_MAN_PAGE ${PROJECT_SOURCE_DIR}/host/toastctl/toastctl.1)
if(SNT_NAME_SUFFIX)
  file(READ ${SNT_MAN_PAGE} page)
  string(REPLACE "toastctl" "${SNT_TOASTCTL}" page "${page}")
  string(REPLACE "libsystemnotifytoast.so" "lib${SNT_NAME}.so" page "${page}")
  # The default application id stays the same.
  string(REPLACE ".BR ${SNT_TOASTCTL} )." ".BR toastctl )." page "${page}")
  file(WRITE ${PROJECT_BINARY_DIR}/debian/${SNT_TOASTCTL}.1.in "${page}")
  configure_file(${PROJECT_BINARY_DIR}/debian/${SNT_TOASTCTL}.1.in ${PROJECT_BINARY_DIR}/debian/${SNT_TOASTCTL}.1 COPYONLY)
  set(SNT_MAN_PAGE ${PROJECT_BINARY_DIR}/debian/${SNT_TOASTCTL}.1)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/host/toastctl/toastctl.1)
endif()
snt_gzip(${PROJECT_BINARY_DIR}/debian/${SNT_TOASTCTL}.1.gz ${SNT_MAN_PAGE})
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/debian)
add_custom_target(package_docs ALL DEPENDS
  ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz ${PROJECT_BINARY_DIR}/debian/${SNT_TOASTCTL}.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/debian/${SNT_TOASTCTL}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${SNT_DEBIAN_DIR}/copyright ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
        DESTINATION ${SNT_INSTALL_DOCDIR})
# The name Debian would give a package of the library alone: a dash goes
# between a name that ends in a digit and the version.
set(SNT_SONAME_PACKAGE lib${SNT_NAME})
if(SNT_NAME MATCHES "[0-9]$")
  string(APPEND SNT_SONAME_PACKAGE -)
endif()
string(APPEND SNT_SONAME_PACKAGE ${PROJECT_VERSION_MAJOR})
configure_file(${SNT_DEBIAN_DIR}/lintian-overrides ${PROJECT_BINARY_DIR}/debian/lintian-overrides @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME ${SNT_NAME})

# The package's version is the changelog's latest entry, as in Debian.
file(STRINGS ${SNT_DEBIAN_DIR}/changelog SNT_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT SNT_CHANGELOG_TOP MATCHES "^systemnotifytoast \\(([^-)]+)-([^)]+)\\)")
  message(FATAL_ERROR "cmake/debian/changelog: the first line names no version")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "cmake/debian/changelog: the latest entry is for ${CMAKE_MATCH_1}, "
                      "the project is ${PROJECT_VERSION}; add an entry")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${SNT_NAME})
set(CPACK_PACKAGE_VENDOR "Orvex Office")
set(CPACK_PACKAGE_CONTACT "Orvex Office toast module maintainers <toast@orvex.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Toast notifications for Orvex Office hosts (Qt ${SNT_QT_MAJOR_VERSION})")
set(CPACK_PACKAGE_DESCRIPTION
  "The toast module that Orvex Office hosts built with Qt ${SNT_QT_MAJOR_VERSION} load by file
name, its public headers, CMake package and pkg-config file for host
developers, and ${SNT_TOASTCTL}, a host program that shows a toast from the
command line.
.
On Linux the module runs on a simulation of the Windows runtime it is written
for; native toasts reach the desktop's notification server over D-Bus. The
simulation and the stand-ins of the host kit lie in a private folder.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${SNT_INSTALL_PRIVATE_LIBDIR})
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dunst | notification-daemon")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Stripped binaries; their debug information goes to a -dbgsym package.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_POST_BUILD_SCRIPTS ${SNT_DEBIAN_DIR}/fix-dbgsym.cmake)
# Only the module is a public library: dpkg runs ldconfig through a trigger,
# and the shlibs file names the module alone (CPack's own would complain about
# every private library, which has no version). Naming postinst and postrm,
# files that do not exist, keeps CPack from writing maintainer scripts that
# call ldconfig; it warns that they are missing, and the package has none.
configure_file(${SNT_DEBIAN_DIR}/shlibs.in ${PROJECT_BINARY_DIR}/debian/shlibs @ONLY)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${SNT_DEBIAN_DIR}/triggers ${PROJECT_BINARY_DIR}/debian/shlibs
  ${PROJECT_BINARY_DIR}/debian/none/postinst ${PROJECT_BINARY_DIR}/debian/none/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
