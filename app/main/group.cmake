# Start-up, the main window, busy state and game shape.
list(APPEND VX_APP_SOURCES
  main/plain_grid.cpp
  main/formmain.cpp
  main/formmain_build.cpp
  main/pending_windows.cpp
  main/startup.cpp
)
