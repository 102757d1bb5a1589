# Tests of the table file, field access, memo files and builders, the checks
# against independent xBase tools, and the fuzz target of the table reader.
vx_test(vx_tables_dbf_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/dbf_table_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dbf_fields_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dbf_memo_test.cpp
  DEPS vx_tables_dbf
)
