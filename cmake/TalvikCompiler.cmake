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
# executables add -fsanitize=fuzzer themselves. TALVIK_FUZZ_SANITIZE names the
# sanitizers the targets run under: empty gives coverage alone, for fast campaigns
# whose corpora are then replayed through a sanitized build.
set(TALVIK_FUZZ_SANITIZE "address,undefined" CACHE STRING "Sanitizers of the fuzz targets")
if(TALVIK_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (libFuzzer)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link -fno-omit-frame-pointer)
  if(TALVIK_FUZZ_SANITIZE)
    add_compile_options(-fsanitize=${TALVIK_FUZZ_SANITIZE})
    add_link_options(-fsanitize=${TALVIK_FUZZ_SANITIZE})
  endif()
endif()

# Rebuilds of several build trees (presets, work trees) can share compiled
# objects through ccache: -DTALVIK_USE_CCACHE=ON. Off by default, so a clean
# build never takes an object from a cache another tree filled.
option(TALVIK_USE_CCACHE "Compile through ccache when it is installed" OFF)
if(TALVIK_USE_CCACHE)
  find_program(TALVIK_CCACHE ccache)
endif()
# A build tree configured with it on keeps the cached path: the option decides.
if(TALVIK_USE_CCACHE AND TALVIK_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${TALVIK_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${TALVIK_CCACHE})
endif()
