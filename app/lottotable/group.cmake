# The number-table control.
list(APPEND VX_APP_SOURCES
  lottotable/lottotable.cpp
)
