# The key and filter expression language and its link to a table's fields.
if(TARGET vx_tables_dbf)
  set(VX_EXPR_DEPS vx_tables_dbf)
else()
  set(VX_EXPR_DEPS vx_tables_base)
endif()
set(VX_EXPR_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/xb_expr_value.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xb_expr_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xb_expr_scanner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xb_expr_tree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xb_expr_operators.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xb_expr_functions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xb_expr_text_functions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xb_expr_userlink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xb_expr_handler.cpp
)
if(TARGET vx_tables_dbf AND EXISTS ${CMAKE_CURRENT_LIST_DIR}/xb_expr_link.cpp)
  list(APPEND VX_EXPR_SOURCES ${CMAKE_CURRENT_LIST_DIR}/xb_expr_link.cpp)
endif()
vx_library(vx_tables_expr SOURCES ${VX_EXPR_SOURCES} DEPS ${VX_EXPR_DEPS})
