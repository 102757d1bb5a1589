# Tests of the engine's ground floor (errors, disk files, dates, values,
# sets, tools, sorter, cipher).
vx_test(vx_tables_base_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/xb_errors_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xbo_diskfile_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_dates_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_variant_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_containers_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_sort_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xb_cipher_test.cpp
  DEPS vx_tables_base
)
