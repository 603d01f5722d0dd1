# Popups drawn by the module with the host's widget kit.
set(SNT_POPUP_DIR ${CMAKE_CURRENT_LIST_DIR})
target_sources(systemnotifytoast_core PRIVATE
  ${SNT_POPUP_DIR}/applicationtoastimpl.h ${SNT_POPUP_DIR}/applicationtoastimpl.cpp
  ${SNT_POPUP_DIR}/applicationtoastwidget.h ${SNT_POPUP_DIR}/applicationtoastwidget.cpp
  ${SNT_POPUP_DIR}/toastcontentwidget.h ${SNT_POPUP_DIR}/toastcontentwidget.cpp
  ${SNT_POPUP_DIR}/toastlinelabel.h ${SNT_POPUP_DIR}/toastlinelabel.cpp
  ${SNT_POPUP_DIR}/middlelitelabel.h ${SNT_POPUP_DIR}/middlelitelabel.cpp
  ${SNT_POPUP_DIR}/toasticon.h ${SNT_POPUP_DIR}/toasticon.cpp
  ${SNT_POPUP_DIR}/toastanimationcontroller.h ${SNT_POPUP_DIR}/toastanimationcontroller.cpp
  ${SNT_POPUP_DIR}/toastcontentanimationcontroller.h ${SNT_POPUP_DIR}/toastcontentanimationcontroller.cpp
  ${SNT_POPUP_DIR}/toastskinresources.h ${SNT_POPUP_DIR}/toastskinresources.cpp
  ${SNT_POPUP_DIR}/toastaccessibility.h ${SNT_POPUP_DIR}/toastaccessibility.cpp
  ${SNT_POPUP_DIR}/toastlineaccessible.h ${SNT_POPUP_DIR}/toastlineaccessible.cpp
  ${SNT_POPUP_DIR}/toastsegmentaccessible.h ${SNT_POPUP_DIR}/toastsegmentaccessible.cpp
)
target_link_libraries(systemnotifytoast_core PUBLIC zandr)
