# The wx parts of the view, compiled into kesmora_gui: the form and its
# layout, enabling and exchange (VCKesmoraView), the persisted values
# (ViewSettings), the virtual result list over a row source, the narrow
# up/down control, undo for the text fields, the handlers of search and
# browsing (ViewSearch) and of deletion (ViewDelete). The compact widget
# style has one body per toolkit.
target_sources(kesmora_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/VCKesmoraView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewSearch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewDelete.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResultListCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResultRowSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpDownCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditUndo.cpp
)
if(wxWidgets_CXX_FLAGS MATCHES "__WXGTK__" OR wxWidgets_DEFINITIONS MATCHES "__WXGTK__")
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(KESMORA_GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
  target_sources(kesmora_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CompactStyle_gtk.cpp)
  target_link_libraries(kesmora_gui PRIVATE PkgConfig::KESMORA_GTK3)
else()
  target_sources(kesmora_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CompactStyle_other.cpp)
endif()
