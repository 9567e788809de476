# Sources of module loading and resources, added to qzwin_kernel.
target_sources(qzwin_kernel PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/library_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_map.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_names.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resource_api.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resource_registry.cpp)
