# Expression language: a compiled filter and key evaluated over a 1,000,000
# record draw table held in memory.
if(TARGET vx_tables_expr AND TARGET vx_tables_dbf)
  add_executable(vx_bench_expr ${CMAKE_CURRENT_LIST_DIR}/expr_bench.cpp)
  target_link_libraries(vx_bench_expr PRIVATE vx_tables_expr benchmark::benchmark benchmark::benchmark_main)
endif()
