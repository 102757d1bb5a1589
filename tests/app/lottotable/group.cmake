# The number-table control.
list(APPEND VX_APP_TEST_SOURCES
  lottotable/lottotable_test.cpp
)
