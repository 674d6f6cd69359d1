#[[
One target per source folder, and a target sees only the headers of its own
folder and of the targets it links. Sources name headers from the top of
the tree ("walk/FileUtil.h"), so the top itself is on no include path:
each target's include root is a folder of the build tree holding one link,
named as the source folder and pointing at it. An include against the
layers therefore fails to compile instead of quietly working.
]]
function(kesmora_expose_folder target folder)
  set(root "${CMAKE_BINARY_DIR}/include/${target}")
  get_filename_component(parent "${root}/${folder}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${folder}" "${root}/${folder}" SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${root}")
  elseif(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE "${root}")
  else()
    target_include_directories(${target} PUBLIC "${root}")
  endif()
endfunction()
