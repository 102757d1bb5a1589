# Hot numbers over a 1,000,000-draw base: the data set with its per-record
# pump against the table handler on the same table.
if(TARGET vx_app)
  add_executable(vx_bench_bases ${CMAKE_CURRENT_LIST_DIR}/bases_bench.cpp)
  target_include_directories(vx_bench_bases PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(vx_bench_bases PRIVATE vx_app benchmark::benchmark benchmark::benchmark_main)
endif()
