# Instruments every library and program of a PARLANTO_FUZZ build: coverage feedback for libFuzzer plus address
# and undefined-behaviour checks, so the fuzzers see the real code exactly as they exercise it. The fuzzer
# runtime itself (with its main) is linked only into the fuzz targets (fuzz/CMakeLists.txt).
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "PARLANTO_FUZZ needs clang with its fuzzer runtime (CC=clang-14 CXX=clang++-14)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)
