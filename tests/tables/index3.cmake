# Tests of the single-tag (.ntx, .ndx) and multiple (.mdx) index formats.
add_library(vx_index3_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/index3_check.cpp)
target_include_directories(vx_index3_test_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vx_index3_test_support PUBLIC vx_index_test_support)

vx_test(index3_model_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/index3_model_test.cpp
  DEPS vx_index3_test_support)

vx_test(index3_interop_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/index3_interop_test.cpp
  DEPS vx_index3_test_support
  LABELS interop)

vx_test(index3_perl_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/index3_perl_test.cpp
  DEPS vx_index3_test_support
  LABELS interop)

vx_fuzz(ntx_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ntx_fuzz.cpp
  DEPS vx_tables_index
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/ntx
  SECONDS 10)

vx_fuzz(ndx_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ndx_fuzz.cpp
  DEPS vx_tables_index
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/ndx
  SECONDS 10)

vx_fuzz(mdx_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/mdx_fuzz.cpp
  DEPS vx_tables_index
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/mdx
  SECONDS 10)

vx_test(index3_format_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/index3_format_test.cpp
  DEPS vx_index3_test_support)
