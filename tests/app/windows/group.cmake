# Secondary windows.
list(APPEND VX_APP_TEST_SOURCES
  windows/base_viewer_test.cpp
  windows/chart_window_test.cpp
  windows/probability_editor_test.cpp
  windows/note_pad_test.cpp
  windows/number_picker_test.cpp
  windows/number_series_test.cpp
  windows/visual_view_test.cpp
)

# The chart window over a 1,000-draw base under a real X server (Xvfb);
# the PNGs stay in the build folder for a reviewer.
add_executable(chart_screenshot ${CMAKE_CURRENT_LIST_DIR}/chart_screenshot_main.cpp)
target_link_libraries(chart_screenshot PRIVATE vx_app)
target_include_directories(chart_screenshot PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_LIST_DIR})
vx_xvfb_test(chart_screenshot SCREEN 1280x800
  COMMAND $<TARGET_FILE:chart_screenshot>
          ${CMAKE_BINARY_DIR}/testdata/app/chart.png)

# The visual view and the number picker under a real X server (Xvfb); the
# PNG files stay in the build folder for a reviewer.
add_executable(windows_screenshot ${CMAKE_CURRENT_LIST_DIR}/screenshot_windows.cpp)
target_link_libraries(windows_screenshot PRIVATE vx_app)
vx_xvfb_test(windows_screenshot SCREEN 1280x800
  COMMAND $<TARGET_FILE:windows_screenshot>
          ${CMAKE_BINARY_DIR}/testdata/app)

# The print preview window and the print-settings dialog under a real X
# server (Xvfb); the PNG files stay in the build folder for a reviewer.
add_executable(preview_screenshot ${CMAKE_CURRENT_LIST_DIR}/preview_screenshot_main.cpp)
target_link_libraries(preview_screenshot PRIVATE vx_app)
vx_xvfb_test(preview_screenshot SCREEN 1280x1024
  COMMAND $<TARGET_FILE:preview_screenshot>
          ${CMAKE_BINARY_DIR}/testdata/app)
