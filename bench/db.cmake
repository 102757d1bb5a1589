# Data-set framework: walking and appending through the record window over
# the in-memory record source of the framework tests.
if(TARGET vx_db)
  add_executable(vx_bench_db ${CMAKE_CURRENT_LIST_DIR}/db_bench.cpp
                             ${CMAKE_SOURCE_DIR}/tests/platform/db/memory_dataset.cpp)
  target_include_directories(vx_bench_db PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(vx_bench_db PRIVATE vx_db benchmark::benchmark benchmark::benchmark_main)
endif()
