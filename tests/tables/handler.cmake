# Tests of the table handler: ordered and filtered walks against a model,
# index files, two processes sharing a table, copying and searching (with
# dbfread and index_dump as independent readers).
if(TARGET vx_tables_handler)
  vx_test(vx_tables_handler_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/handler_walk_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/handler_oracle_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/handler_share_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/handler_copy_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/handler_index_test.cpp
    DEPS vx_tables_handler
  )
endif()

if(TARGET vx_tables_handler)
  vx_fuzz(vx_tables_handler_fuzz
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/handler_fuzz.cpp
    DEPS vx_tables_handler
    CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/handler
    SECONDS 10
  )
endif()
