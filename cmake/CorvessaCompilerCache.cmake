# ccache makes rebuilds in fresh clones (CI) cheap. The base directory lets a cache
# entry made in one checkout serve another; time macros would otherwise defeat it.
find_program(CORVESSA_CCACHE ccache)
if(CORVESSA_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    set(_launcher "${CMAKE_COMMAND}" -E env
        "CCACHE_BASEDIR=${CMAKE_SOURCE_DIR}"
        "CCACHE_SLOPPINESS=time_macros,include_file_mtime,include_file_ctime"
        "${CORVESSA_CCACHE}")
    set(CMAKE_CXX_COMPILER_LAUNCHER ${_launcher})
    set(CMAKE_C_COMPILER_LAUNCHER ${_launcher})
endif()
