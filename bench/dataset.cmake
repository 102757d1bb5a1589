# Data-set adapter: walking a draw table through TXBaseDataSet in record and
# tag order with windows of 1 and 30 buffers, appending through Post.
if(TARGET vx_tables_dataset)
  add_executable(vx_bench_dataset ${CMAKE_CURRENT_LIST_DIR}/dataset_bench.cpp)
  target_include_directories(vx_bench_dataset PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(vx_bench_dataset PRIVATE vx_tables_dataset benchmark::benchmark benchmark::benchmark_main)
endif()
