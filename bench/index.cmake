# Compound index: bulk build of the draw tag and random seeks over 1,000,000
# records; cdx_peers_bench.py runs them next to Free Pascal's TDbf (MDX).
if(TARGET vx_tables_index)
  add_executable(vx_bench_index ${CMAKE_CURRENT_LIST_DIR}/cdx_bench.cpp)
  target_link_libraries(vx_bench_index PRIVATE vx_tables_index benchmark::benchmark benchmark::benchmark_main)
endif()
