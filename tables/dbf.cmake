# The .dbf table file, field access, memo files and table builders.
vx_library(vx_tables_dbf
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/xbo_dbasedbf.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_fields.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xbo_memo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_builders.cpp
  DEPS vx_tables_base
)
