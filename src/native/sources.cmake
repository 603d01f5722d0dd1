# Native toast quarter of the module.
target_sources(systemnotifytoast_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/winrt/winrtlibrary.h
  ${CMAKE_CURRENT_LIST_DIR}/winrt/winrtlibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/winrt/hstringwrapper.h
  ${CMAKE_CURRENT_LIST_DIR}/winrt/hstringwrapper.cpp
  ${CMAKE_CURRENT_LIST_DIR}/winrt/activationfactory.h
  ${CMAKE_CURRENT_LIST_DIR}/winrt/toasteventhandler.h
  ${CMAKE_CURRENT_LIST_DIR}/toastxmlbuilders_p.h
  ${CMAKE_CURRENT_LIST_DIR}/systemtoastnotify.h
  ${CMAKE_CURRENT_LIST_DIR}/systemtoastnotify.cpp
  ${CMAKE_CURRENT_LIST_DIR}/systemtoastwinimpl.h
  ${CMAKE_CURRENT_LIST_DIR}/systemtoastwinimpl.cpp
)
# The runtime libraries are loaded by name, never linked: build them with the module.
if(NOT WIN32)
  add_dependencies(systemnotifytoast_core combase propsys shell32)
endif()
