# Warning and sanitizer flags shared by every target of the project.
add_compile_options(-Wall -Wextra)
if(TALVIK_WERROR)
  add_compile_options(-Werror)
endif()

if(TALVIK_SANITIZE)
  add_compile_options(-fsanitize=${TALVIK_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TALVIK_SANITIZE})
endif()

# libFuzzer instrumentation for the libraries the fuzz targets link; the fuzz
# executables add -fsanitize=fuzzer themselves.
if(TALVIK_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (libFuzzer)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Rebuilds of several build trees (presets, work trees) can share compiled
# objects through ccache: -DTALVIK_USE_CCACHE=ON. Off by default, so a clean
# build never takes an object from a cache another tree filled.
option(TALVIK_USE_CCACHE "Compile through ccache when it is installed" OFF)
if(TALVIK_USE_CCACHE)
  find_program(TALVIK_CCACHE ccache)
endif()
if(TALVIK_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${TALVIK_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${TALVIK_CCACHE})
endif()
