# Included from tools/: the image generator is built only when asked for.
option(WYD_BUILD_ARTWORK "Build the image generator (scripts/make-artwork.sh)" OFF)
if(WYD_BUILD_ARTWORK)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_BINARY_DIR}/artwork)
endif()
