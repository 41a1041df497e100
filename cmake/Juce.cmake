# JUCE is compiled once, into one static library that the plug-in and the tests share.
# The module targets hand their sources to whoever links them, so they are linked PRIVATE here
# and only their definitions and include folders are passed on.

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # Debian's version file refuses 32-bit builds; the config itself is architecture-independent.
  file(GLOB _juce_config /usr/lib/*/cmake/JUCE-*/JUCEConfig.cmake)
  list(GET _juce_config 0 _juce_config)
  include(${_juce_config})
else()
  find_package(JUCE CONFIG REQUIRED)
endif()

add_library(wyd_juce STATIC)
target_link_libraries(wyd_juce
  PRIVATE
    juce::juce_core juce::juce_events juce::juce_data_structures juce::juce_graphics
    juce::juce_gui_basics juce::juce_audio_basics juce::juce_audio_processors
  PUBLIC
    juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
# No modal loops: a menu or dialog that ran a loop of its own would hold the host's thread inside
# effEditIdle (and every other editor of the host with it) until it closed.
target_compile_definitions(wyd_juce PUBLIC
  JUCE_USE_CURL=0
  JUCE_WEB_BROWSER=0
  JUCE_MODAL_LOOPS_PERMITTED=0
  JUCE_DISPLAY_SPLASH_SCREEN=0
  JUCE_USE_XRANDR=1
  JUCE_STANDALONE_APPLICATION=0
  JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1)
set_target_properties(wyd_juce PROPERTIES
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON
  POSITION_INDEPENDENT_CODE ON)
target_compile_options(wyd_juce PRIVATE -w)
target_compile_definitions(wyd_juce INTERFACE
  $<TARGET_PROPERTY:wyd_juce,COMPILE_DEFINITIONS>)
target_include_directories(wyd_juce INTERFACE
  $<TARGET_PROPERTY:wyd_juce,INCLUDE_DIRECTORIES>)
find_package(Threads REQUIRED)
target_link_libraries(wyd_juce PUBLIC Threads::Threads ${CMAKE_DL_LIBS})
