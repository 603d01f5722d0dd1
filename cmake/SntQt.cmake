# The one place that picks the Qt major version. Everything else links the
# versionless targets (Qt::Core, Qt::Widgets, Qt::rcc, ...), which this file
# guarantees even where QT_NO_CREATE_VERSIONLESS_TARGETS is set.
#
#   -DSNT_QT_MAJOR_VERSION=5|6   default 5, or 6 on a machine that has only Qt 6
#   snt_find_qt(<component>...)  find more components of the chosen Qt

set(SNT_QT_MIN_VERSION_5 5.15)
set(SNT_QT_MIN_VERSION_6 6.2)

if(NOT SNT_QT_MAJOR_VERSION)
  find_package(Qt5 ${SNT_QT_MIN_VERSION_5} QUIET COMPONENTS Core)
  if(Qt5_FOUND)
    set(major 5)
  else()
    find_package(Qt6 ${SNT_QT_MIN_VERSION_6} QUIET COMPONENTS Core)
    set(major 5)
    if(Qt6_FOUND)
      set(major 6)
    endif()
  endif()
  set(SNT_QT_MAJOR_VERSION ${major} CACHE STRING "Qt major version to build against (5 or 6)" FORCE)
  unset(major)
endif()
if(NOT SNT_QT_MAJOR_VERSION MATCHES "^[56]$")
  message(FATAL_ERROR "SNT_QT_MAJOR_VERSION is '${SNT_QT_MAJOR_VERSION}'; it must be 5 or 6")
endif()
set(SNT_QT Qt${SNT_QT_MAJOR_VERSION})

macro(snt_find_qt)
  find_package(${SNT_QT} ${SNT_QT_MIN_VERSION_${SNT_QT_MAJOR_VERSION}} REQUIRED COMPONENTS ${ARGN})
  foreach(_snt_component IN ITEMS ${ARGN})
    if(NOT TARGET Qt::${_snt_component})
      add_library(Qt::${_snt_component} INTERFACE IMPORTED)
      set_target_properties(Qt::${_snt_component} PROPERTIES
        INTERFACE_LINK_LIBRARIES ${SNT_QT}::${_snt_component})
    endif()
  endforeach()
  if(NOT TARGET Qt::rcc AND TARGET ${SNT_QT}::rcc)
    get_target_property(_snt_rcc ${SNT_QT}::rcc LOCATION)
    add_executable(Qt::rcc IMPORTED)
    set_target_properties(Qt::rcc PROPERTIES IMPORTED_LOCATION ${_snt_rcc})
  endif()
endmacro()

snt_find_qt(Core Gui Widgets)
# Only the simulated platform talks D-Bus; Windows has none.
if(NOT WIN32)
  snt_find_qt(DBus)
endif()
message(STATUS "Building against Qt ${${SNT_QT}_VERSION}")

# Names of what gets installed: the Qt 5 build keeps the plain names, another
# build carries its Qt in every name, so that both can be installed side by side.
if(SNT_QT_MAJOR_VERSION EQUAL 5)
  set(SNT_NAME_SUFFIX "")
  set(SNT_CMAKE_PACKAGE SystemNotifyToast)
else()
  set(SNT_NAME_SUFFIX -qt${SNT_QT_MAJOR_VERSION})
  set(SNT_CMAKE_PACKAGE SystemNotifyToastQt${SNT_QT_MAJOR_VERSION})
endif()
set(SNT_NAME systemnotifytoast${SNT_NAME_SUFFIX})
