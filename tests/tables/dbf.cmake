# Tests of the table file, field access, memo files and builders, the checks
# against independent xBase tools (dbf_peers.py drives the Python ones), two
# processes sharing a table, and the fuzz target of the table reader.
vx_test(vx_tables_dbf_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/dbf_table_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dbf_fields_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dbf_memo_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dbf_interop_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dbf_share_test.cpp
  DEPS vx_tables_dbf
)

vx_fuzz(vx_tables_dbf_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dbf_fuzz.cpp
  DEPS vx_tables_dbf
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/dbf
  SECONDS 10
)
