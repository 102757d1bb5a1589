# The table handler: ordered and filtered walks with read-ahead, index files
# opened by extension, index building, copying and the field search, renaming
# and re-keying the table's files.
set(_vx_handler_deps)
foreach(_dep vx_tables_index vx_tables_expr vx_tables_dbf vx_tables_base)
  if(TARGET ${_dep})
    list(APPEND _vx_handler_deps ${_dep})
  endif()
endforeach()
vx_library(vx_tables_handler
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/xbo_dbhandler.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_handler_index.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_copy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_handler_files.cpp
  DEPS ${_vx_handler_deps})
