# GUI-free parts of the view, compiled into kesmora_core: size texts,
# status texts, search parameters, folder history, result rows and their
# hand-over from the worker, and the deletion run.
target_sources(kesmora_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DeleteRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DisplayText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FolderHistory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResultRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SearchRequest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SizeFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatusText.cpp
)
