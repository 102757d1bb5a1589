# Tests of the index layer and the compound index.
add_library(vx_index_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/index_page_check.cpp)
target_include_directories(vx_index_test_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vx_index_test_support PUBLIC vx_tables_index)

vx_test(cdx_format_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cdx_format_test.cpp
  DEPS vx_tables_index)

vx_test(cdx_model_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cdx_model_test.cpp
  DEPS vx_index_test_support)

vx_test(cdx_tag_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cdx_tag_test.cpp
  DEPS vx_index_test_support)

vx_test(cdx_interop_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cdx_interop_test.cpp
  DEPS vx_index_test_support
  LABELS interop)

vx_test(cdx_share_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cdx_share_test.cpp
  DEPS vx_index_test_support)

vx_fuzz(cdx_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cdx_fuzz.cpp
  DEPS vx_tables_index
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/cdx
  SECONDS 10)

vx_test(cdx_table_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cdx_table_test.cpp
  DEPS vx_tables_index
  LABELS interop)
