# Key sorter: TxbSort against std::sort on the same (key, record) pairs.
if(TARGET vx_tables_base)
  add_executable(vx_bench_sort ${CMAKE_CURRENT_LIST_DIR}/sort_bench.cpp)
  target_link_libraries(vx_bench_sort PRIVATE vx_tables_base benchmark::benchmark benchmark::benchmark_main)
endif()
