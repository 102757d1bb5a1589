# Draw, results and ticket bases and the new-base dialogs.
list(APPEND VX_APP_TEST_SOURCES
  bases/draw_base_test.cpp
  bases/draw_grid_append_test.cpp
  bases/new_base_flow_test.cpp
)
