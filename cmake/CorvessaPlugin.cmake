# The plug-in's shared-code archive owns every JUCE module exactly once. Our own code is
# compiled into the same archive in libraries of their own (OBJECT libraries), so that the
# engine, the kit and the plug-in classes keep their boundaries while tests, benchmarks and
# the VST3/Standalone wrappers all link one archive and borrow its include directories and
# definitions (two copies of a JUCE module in one binary clash).

juce_add_plugin(Corvessa
    PRODUCT_NAME "Corvessa"
    COMPANY_NAME "Velmar"
    VERSION "${PROJECT_VERSION}"
    PLUGIN_MANUFACTURER_CODE Vlmr
    PLUGIN_CODE Crvs
    FORMATS VST3 Standalone
    IS_SYNTH TRUE
    NEEDS_MIDI_INPUT TRUE
    NEEDS_MIDI_OUTPUT TRUE
    IS_MIDI_EFFECT FALSE
    EDITOR_WANTS_KEYBOARD_FOCUS TRUE
    VST3_CATEGORIES Instrument Synth
    NEEDS_WEB_BROWSER FALSE
    NEEDS_CURL TRUE
    COPY_PLUGIN_AFTER_BUILD ${CORVESSA_COPY_PLUGIN})

target_link_libraries(Corvessa
    PRIVATE
        juce::juce_audio_utils
        juce::juce_audio_processors
        juce::juce_cryptography
        juce::juce_gui_extra
    PUBLIC
        juce::juce_recommended_config_flags)

# How the plug-in sets the framework up; the load benchmark's bare instrument is built with the
# same settings.
set(CORVESSA_FRAMEWORK_DEFINITIONS
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=1
    JUCE_VST3_CAN_REPLACE_VST2=0
    JUCE_USE_FLAC=0
    JUCE_USE_OGGVORBIS=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_STRICT_REFCOUNTEDPOINTER=1
    JUCE_SILENCE_XCODE_15_LINKER_WARNING=1)

# PUBLIC, so that every consumer of the archive compiles JUCE's headers the same way.
target_compile_definitions(Corvessa PUBLIC
    ${CORVESSA_FRAMEWORK_DEFINITIONS}
    CORVESSA_SERVICE_BASE_URL="${CORVESSA_SERVICE_BASE_URL}"
    # The product's version, from the project's (top CMakeLists.txt), for code and tests alike.
    CORVESSA_VERSION="${PROJECT_VERSION}")

# The framework's GIF decoder (JUCE 7.0.5) reads its code table at index -2 while it decodes the
# built-in dragging-hand mouse cursor, the only GIF this program reads. That defect is the
# framework's: under the undefined-behaviour sanitizer its graphics module is compiled without the
# bounds check, so that windows showing that cursor (the MIDI clip tiles) are tested on a display.
if(CORVESSA_SANITIZE MATCHES "undefined")
    set_source_files_properties("${JUCE_MODULES_DIR}/juce_graphics/juce_graphics.cpp"
        PROPERTIES COMPILE_OPTIONS "-fno-sanitize=bounds")
endif()

# Our own code: warnings on, and treated as errors, for our files only (JUCE's module code
# does not build cleanly with -Werror on GCC 12).
set(CORVESSA_WARNINGS -Wall -Wextra -Werror)
# The fuzz build compiles with clang, which warns of other things than GCC: there they stay
# warnings, so that the fuzz targets never wait on a warning the main build does not give.
if(CORVESSA_BUILD_FUZZERS)
    set(CORVESSA_WARNINGS -Wall -Wextra)
endif()

# corvessa_add_code_library(name folder [folder...]): an OBJECT library of the .cpp files in
# the given src/ folders (not recursive), compiled with the archive's JUCE settings and linked
# into the archive.
function(corvessa_add_code_library name)
    set(_sources "")
    foreach(_folder IN LISTS ARGN)
        file(GLOB _found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${_folder}/*.cpp")
        list(APPEND _sources ${_found})
    endforeach()
    if(NOT _sources)
        return()
    endif()
    add_library(${name} OBJECT ${_sources})
    corvessa_use_archive_settings(${name})
    target_compile_options(${name} PRIVATE ${CORVESSA_WARNINGS})
    target_sources(Corvessa PRIVATE $<TARGET_OBJECTS:${name}>)
endfunction()

# Compile a target of ours the way the archive compiles JUCE's headers.
function(corvessa_use_archive_settings target)
    target_include_directories(${target} PRIVATE
        $<TARGET_PROPERTY:Corvessa,INCLUDE_DIRECTORIES>
        "${PROJECT_SOURCE_DIR}/src")
    target_compile_definitions(${target} PRIVATE
        $<TARGET_PROPERTY:Corvessa,COMPILE_DEFINITIONS>)
    target_compile_options(${target} PRIVATE
        $<TARGET_PROPERTY:Corvessa,COMPILE_OPTIONS>)
endfunction()

# Executables (tests, benchmarks) link the archive and nothing else of JUCE.
function(corvessa_link_archive target)
    corvessa_use_archive_settings(${target})
    target_link_libraries(${target} PRIVATE Corvessa)
endfunction()

# Engine code: juce_core only, no GUI class; tested without a window.
corvessa_add_code_library(corvessa_harmony harmony)
# The song's plain records (a section and the names it is read with), shared by the engines.
corvessa_add_code_library(corvessa_song song)
# The section compile: a song and its settings into the notes of the three layers.
corvessa_add_code_library(corvessa_compile compile)
corvessa_add_code_library(corvessa_mood mood)
# The maker's kit, namespace velmar, with the AI-client bridge; one sub-folder per concern.
corvessa_add_code_library(velmar_kit kit kit/json kit/platform kit/services kit/dialogs kit/clips kit/bridge)
# The plug-in: processor (its section compile is engine code too), editor and panels.
corvessa_add_code_library(corvessa_processor processor processor/state processor/playback processor/sync processor/clips)
corvessa_add_code_library(corvessa_ui editor editor/look editor/panels editor/views
    chord_editor chord_editor/widgets mood/panel projects)

target_include_directories(Corvessa PRIVATE "${PROJECT_SOURCE_DIR}/src")
