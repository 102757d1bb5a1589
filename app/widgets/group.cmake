# Controls of the application's own that are not windows: the plain string
# grid that stands in for the string grids until the rich grid exists.
list(APPEND VX_APP_SOURCES
  widgets/plain_grid.cpp
)
