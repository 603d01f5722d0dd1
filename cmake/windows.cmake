# Building for Windows (MSVC, or MinGW-w64). The real system is the platform:
# the simulation in platform/, the tests and benchmarks that drive it and the
# Debian packaging are left out; toastctl and the Windows checks are built.
set(SNT_BUILD_TESTS OFF)
set(SNT_BUILD_BENCH OFF)
set(SNT_BUILD_FUZZ OFF)
set(SNT_SANITIZE OFF)
option(SNT_BUILD_WINDOWS_TESTS "Build the programs that check the Windows build under Wine or on Windows" OFF)

if(MSVC)
  set_property(DIRECTORY PROPERTY COMPILE_OPTIONS /W3 /utf-8 /permissive- /Zc:__cplusplus)
else()
  # Qt's headers redeclare some functions without dllimport; harmless.
  add_compile_options(-Wno-attributes)
endif()
add_compile_definitions(UNICODE _UNICODE)

# MinGW-w64's own headers stop short of the toast notification and XML DOM
# interfaces; a folder of newer Windows Runtime headers goes before them.
# The Windows SDK has them all, so MSVC needs none.
if(MINGW)
  set(_sntWinsdkDefault "")
  if(EXISTS ${PROJECT_SOURCE_DIR}/../shared/winsdk/include/windows.ui.notifications.h)
    get_filename_component(_sntWinsdkDefault ${PROJECT_SOURCE_DIR}/../shared/winsdk/include ABSOLUTE)
  endif()
  set(SNT_WINRT_HEADERS_DIR "${_sntWinsdkDefault}" CACHE PATH
      "Folder of Windows Runtime headers (windows.ui.notifications.h) newer than MinGW-w64's own")
  if(NOT EXISTS "${SNT_WINRT_HEADERS_DIR}/windows.ui.notifications.h")
    message(FATAL_ERROR "No windows.ui.notifications.h in SNT_WINRT_HEADERS_DIR='${SNT_WINRT_HEADERS_DIR}': "
                        "MinGW-w64's headers lack the toast notification interfaces")
  endif()
  include_directories(BEFORE SYSTEM ${SNT_WINRT_HEADERS_DIR})
  # Both MinGW-w64 10's windows.foundation.h and the newer headers define IReference<BYTE>.
  add_compile_definitions(____FIReference_1_BYTE_INTERFACE_DEFINED__)
endif()

# DLLs are run-time files and land in bin/; the host asks for
# "systemnotifytoast.dll", so no "lib" prefix from MinGW either.
set(CMAKE_SHARED_LIBRARY_PREFIX "")

# jsoncpp from its CMake package (vcpkg, MSYS2, or a cross build); never from
# pkg-config, which on a cross build finds the build machine's.
find_package(jsoncpp CONFIG QUIET)
foreach(jsoncppTarget JsonCpp::JsonCpp jsoncpp_lib jsoncpp_static)
  if(TARGET ${jsoncppTarget} AND NOT TARGET PkgConfig::JSONCPP)
    add_library(PkgConfig::JSONCPP INTERFACE IMPORTED)
    target_link_libraries(PkgConfig::JSONCPP INTERFACE ${jsoncppTarget})
  endif()
endforeach()

# What the module links for the platform: on Windows, the system's own import
# libraries (the runtime's combase, propsys and shell32 entries are loaded by
# name). shlwapi: MinGW's inline InitPropVariantFromString calls SHStrDupW.
add_library(winsim INTERFACE)
target_link_libraries(winsim INTERFACE user32 ole32 shell32 shlwapi)
