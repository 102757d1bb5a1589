# Use ccache when it is installed. The base folder is the source tree, so a
# fresh clone in another folder reuses the cache (paths are stored relative).
find_program(VX_CCACHE ccache)
if(VX_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER
      ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=1 ${VX_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_C_COMPILER_LAUNCHER})
endif()
