list(APPEND VX_APP_TEST_SOURCES
  main/startup_test.cpp
  main/formmain_test.cpp
)
