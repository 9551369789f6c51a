# JUCE's own pkg-config checks are not REQUIRED, so a missing library would only show at
# compile time. Ask for them here so configure fails with a clear message instead.
find_package(PkgConfig REQUIRED)
pkg_check_modules(CORVESSA_SYSTEM_LIBS REQUIRED alsa freetype2 libcurl x11 xext xrender xrandr xinerama xcursor)
find_package(GTest REQUIRED)
if(CORVESSA_BUILD_BENCHMARKS)
    find_package(benchmark REQUIRED)
endif()
