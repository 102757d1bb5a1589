# Secondary windows: chart, probability editor and the preliminary
# questions, note pad, about box, visual view, number picker, number
# series, base viewer.
list(APPEND VX_APP_SOURCES
  windows/chart_window.cpp
  windows/number_picker.cpp
  windows/number_series.cpp
  windows/probability_editor.cpp
  windows/type5_dialog.cpp
  windows/note_pad.cpp
  windows/about_box.cpp
  windows/base_viewer.cpp
  windows/visual_view.cpp
  windows/page_preview.cpp
)
