# The index layer: keys, tags and index files common to every format, and the
# compound index (.cdx).
set(_vx_index_deps)
foreach(_dep vx_tables_expr vx_tables_dbf vx_tables_base)
  if(TARGET ${_dep})
    list(APPEND _vx_index_deps ${_dep})
  endif()
endforeach()
vx_library(vx_tables_index
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/xb_index_key.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_index.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cdx_keys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cdx_collation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cdx_page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cdx_index.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cdx_build.cpp
    ${CMAKE_CURRENT_LIST_DIR}/index_table_link.cpp
  DEPS ${_vx_index_deps})

# Single-tag (.ntx, .ndx) and multiple (.mdx) index formats.
target_sources(vx_tables_index PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/index_bulk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ndx_index.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mdx_index.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ntx_index.cpp)
