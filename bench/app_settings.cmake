# Application settings: loading and saving the settings file with the
# cached INI class, and message look-ups in a language file.
if(TARGET vx_app)
  add_executable(vx_bench_app_settings ${CMAKE_CURRENT_LIST_DIR}/app_settings_bench.cpp)
  target_include_directories(vx_bench_app_settings PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(vx_bench_app_settings PRIVATE vx_app benchmark::benchmark)
endif()
