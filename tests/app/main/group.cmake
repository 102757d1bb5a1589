list(APPEND VX_APP_TEST_SOURCES
  main/desktop_test.cpp
  main/draw_base_commands_test.cpp
  main/draw_import_test.cpp
  main/startup_test.cpp
  main/formmain_test.cpp
  main/shutdown_test.cpp
  main/generation_run_test.cpp
  main/statistics_page_test.cpp
  main/results_flow_test.cpp
  main/tickets_test.cpp
  main/export_test.cpp
  main/preview_print_test.cpp
  main/analysis_flow_test.cpp
  main/download_test.cpp
  main/wheel_systems_commands_test.cpp
  main/draw_grid_scroll_test.cpp
  main/window_commands_test.cpp
  main/stability_test.cpp
  main/grid_popup_test.cpp
  main/idle_test.cpp
  ../platform/db/memory_dataset.cpp
)

# The main window under a real X server (Xvfb); the PNG stays in the build
# folder for a reviewer.
add_executable(app_screenshot ${CMAKE_CURRENT_LIST_DIR}/screenshot_main.cpp)
target_link_libraries(app_screenshot PRIVATE vx_app)
vx_xvfb_test(app_screenshot SCREEN 1280x800
  COMMAND $<TARGET_FILE:app_screenshot>
          ${CMAKE_BINARY_DIR}/testdata/app/screenshot.png)

# Fuzz entry point of the text files read from the pages: wheel systems,
# weight surveys, draw files of the import.
vx_fuzz(app_text_files_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/text_files_fuzz.cpp
  DEPS vx_app
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/fuzz/text_files
  SECONDS 10)
