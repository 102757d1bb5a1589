# Secondary windows: chart, note pad, about box.
list(APPEND VX_APP_SOURCES
  windows/chart_window.cpp
)
