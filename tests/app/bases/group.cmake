# Draw, results and ticket bases, and the probability methods.
list(APPEND VX_APP_TEST_SOURCES
  main/probability_test.cpp
)
