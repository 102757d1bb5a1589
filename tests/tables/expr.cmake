# Tests of the expression language and its table link, and the fuzz target
# that compiles and evaluates arbitrary expression texts.
if(TARGET vx_tables_expr)
  vx_test(vx_tables_expr_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/xb_expr_language_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/xb_expr_functions_test.cpp
    DEPS vx_tables_expr
  )
endif()
if(TARGET vx_tables_expr AND TARGET vx_tables_dbf)
  vx_test(vx_tables_expr_link_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/xb_expr_link_test.cpp
    DEPS vx_tables_expr
  )
endif()
if(TARGET vx_tables_expr AND TARGET vx_tables_dbf)
  vx_fuzz(vx_tables_expr_fuzz
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/xb_expr_fuzz.cpp
    DEPS vx_tables_expr
    CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/expr
    SECONDS 10
  )
endif()
