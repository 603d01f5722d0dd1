# Building for Windows (MSVC, or MinGW-w64). The real system is the platform:
# the simulation in platform/, the tests and benchmarks that drive it, toastctl
# and the Debian packaging are left out.
set(SNT_BUILD_TESTS OFF)
set(SNT_BUILD_BENCH OFF)
set(SNT_BUILD_FUZZ OFF)
set(SNT_SANITIZE OFF)

if(MSVC)
  set_property(DIRECTORY PROPERTY COMPILE_OPTIONS /W3 /utf-8 /permissive- /Zc:__cplusplus)
endif()

# DLLs are run-time files and land in bin/; the host asks for
# "systemnotifytoast.dll", so no "lib" prefix from MinGW either.
set(CMAKE_SHARED_LIBRARY_PREFIX "")

# jsoncpp from its CMake package (vcpkg) where there is no pkg-config.
find_package(jsoncpp CONFIG QUIET)
foreach(jsoncppTarget JsonCpp::JsonCpp jsoncpp_lib jsoncpp_static)
  if(TARGET ${jsoncppTarget} AND NOT TARGET PkgConfig::JSONCPP)
    add_library(PkgConfig::JSONCPP INTERFACE IMPORTED)
    target_link_libraries(PkgConfig::JSONCPP INTERFACE ${jsoncppTarget})
  endif()
endforeach()

# What the module links for the platform: on Windows, the system's own import
# libraries (the runtime's combase, propsys and shell32 entries are loaded by name).
add_library(winsim INTERFACE)
target_link_libraries(winsim INTERFACE user32 ole32 shell32)
