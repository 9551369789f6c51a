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

# The headless VST3 hosts (the host tests and the load benchmark): the framework's own hosting
# code, VST3 only, with nothing that waits for a user.
set(CORVESSA_HEADLESS_HOST_DEFINITIONS
    JUCE_PLUGINHOST_VST3=1
    JUCE_PLUGINHOST_LADSPA=0
    JUCE_PLUGINHOST_LV2=0
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_USE_FLAC=0
    JUCE_USE_OGGVORBIS=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_MODAL_LOOPS_PERMITTED=0
    CORVESSA_VST3_PATH="$<GENEX_EVAL:$<TARGET_PROPERTY:Corvessa_VST3,JUCE_PLUGIN_ARTEFACT_FILE>>")

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

# Each library of ours sees only the source folders it may use and, for the engines, only the
# JUCE module they may use (juce_core), so that a wrong include fails the build. A library's
# include root is a folder of symbolic links made at configure time: <root>/src holds one link
# per allowed top-level folder of src/, <root>/modules one per allowed JUCE module. Libraries
# that may use every module the archive owns keep the framework's own modules folder.

# A regular expression matching exactly this text.
function(corvessa_regex_escape out text)
    string(REGEX REPLACE "([][+.*?()^$|\\\\])" "\\\\\\1" _escaped "${text}")
    set(${out} "${_escaped}" PARENT_SCOPE)
endfunction()

# corvessa_make_include_root(root SOURCES folder... [MODULES module...]): the links of a root.
function(corvessa_make_include_root root)
    cmake_parse_arguments(ARG "" "" "SOURCES;MODULES" ${ARGN})
    file(REMOVE_RECURSE "${root}")
    file(MAKE_DIRECTORY "${root}/src")
    foreach(_folder IN LISTS ARG_SOURCES)
        file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${_folder}" "${root}/src/${_folder}" SYMBOLIC)
    endforeach()
    if(ARG_MODULES)
        file(MAKE_DIRECTORY "${root}/modules")
        foreach(_module IN LISTS ARG_MODULES)
            file(CREATE_LINK "${JUCE_MODULES_DIR}/${_module}" "${root}/modules/${_module}" SYMBOLIC)
        endforeach()
    endif()
endfunction()

# corvessa_use_restricted_includes(target SOURCES folder... [JUCE_CORE_ONLY]): compiles the
# target the way the archive compiles JUCE's headers, seeing only the given src/ folders and,
# with JUCE_CORE_ONLY, only the juce_core module.
function(corvessa_use_restricted_includes target)
    cmake_parse_arguments(ARG "JUCE_CORE_ONLY" "" "SOURCES" ${ARGN})
    set(_root "${CMAKE_BINARY_DIR}/include-roots/${target}")
    if(ARG_JUCE_CORE_ONLY)
        corvessa_make_include_root("${_root}" SOURCES ${ARG_SOURCES} MODULES juce_core)
    else()
        corvessa_make_include_root("${_root}" SOURCES ${ARG_SOURCES})
    endif()

    # The archive's own include folders, without our src/ folder and, for the engines, without
    # the framework's modules folder.
    corvessa_regex_escape(_src "${PROJECT_SOURCE_DIR}/src")
    set(_drop "^${_src}$")
    set(_includes "${_root}/src")
    if(ARG_JUCE_CORE_ONLY)
        corvessa_regex_escape(_modules "${JUCE_MODULES_DIR}")
        string(APPEND _drop "|^${_modules}$")
        list(APPEND _includes "${_root}/modules")
    endif()
    target_include_directories(${target} PRIVATE ${_includes}
        "$<FILTER:$<TARGET_PROPERTY:Corvessa,INCLUDE_DIRECTORIES>,EXCLUDE,${_drop}>")
    target_compile_definitions(${target} PRIVATE $<TARGET_PROPERTY:Corvessa,COMPILE_DEFINITIONS>)
    target_compile_options(${target} PRIVATE $<TARGET_PROPERTY:Corvessa,COMPILE_OPTIONS>)
endfunction()

# corvessa_add_code_library(name FOLDERS folder... [USES folder...] [JUCE_CORE_ONLY]): an OBJECT
# library of the .cpp files in the given src/ folders (not recursive), linked into the archive.
# Its sources may include the top-level folders of FOLDERS and of USES, nothing else of ours.
function(corvessa_add_code_library name)
    cmake_parse_arguments(ARG "JUCE_CORE_ONLY" "" "FOLDERS;USES" ${ARGN})
    set(_sources "")
    set(_visible ${ARG_USES})
    foreach(_folder IN LISTS ARG_FOLDERS)
        file(GLOB _found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${_folder}/*.cpp")
        list(APPEND _sources ${_found})
        string(REGEX REPLACE "/.*" "" _top "${_folder}")
        list(APPEND _visible ${_top})
    endforeach()
    list(REMOVE_DUPLICATES _visible)
    if(NOT _sources)
        return()
    endif()
    add_library(${name} OBJECT ${_sources})
    if(ARG_JUCE_CORE_ONLY)
        corvessa_use_restricted_includes(${name} SOURCES ${_visible} JUCE_CORE_ONLY)
    else()
        corvessa_use_restricted_includes(${name} SOURCES ${_visible})
    endif()
    target_compile_options(${name} PRIVATE ${CORVESSA_WARNINGS})
    target_sources(Corvessa PRIVATE $<TARGET_OBJECTS:${name}>)
endfunction()

# Compile a target of ours (tests, benchmarks) the way the archive compiles JUCE's headers,
# seeing every folder of ours.
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

# Engines: juce_core only, no GUI class, no plug-in class; tested without a window or a processor.
corvessa_add_code_library(corvessa_harmony FOLDERS harmony JUCE_CORE_ONLY)
# The song's plain records (a section and the names it is read with), shared by the engines.
corvessa_add_code_library(corvessa_song FOLDERS song USES harmony JUCE_CORE_ONLY)
# The section compile: a song and its settings into the notes of the three layers.
corvessa_add_code_library(corvessa_compile FOLDERS compile USES song harmony JUCE_CORE_ONLY)
corvessa_add_code_library(corvessa_mood FOLDERS mood USES song harmony JUCE_CORE_ONLY)
# The maker's kit, namespace velmar, with the AI-client bridge; one sub-folder per concern. It
# uses the framework's GUI and audio modules but nothing of the product.
corvessa_add_code_library(velmar_kit FOLDERS kit kit/json kit/platform kit/services kit/dialogs kit/clips kit/bridge)
# The plug-in class and what it composes (state, playback, sync, clips); it creates the window,
# whose header names the panels of the chord editor, the mood panel and the project library.
corvessa_add_code_library(corvessa_processor
    FOLDERS processor processor/state processor/playback processor/sync processor/clips
    USES compile song harmony mood kit editor chord_editor projects)
# The window and what hangs off it.
corvessa_add_code_library(corvessa_ui
    FOLDERS editor editor/look editor/panels editor/views chord_editor chord_editor/widgets mood/panel projects
    USES processor compile song harmony mood kit)

target_include_directories(Corvessa PRIVATE "${PROJECT_SOURCE_DIR}/src")
