# Flags for everything Corvex builds. Results must be the same bits on every build, so
# floating-point contraction is off and neither -ffast-math nor -march=native is ever used;
# wider instruction sets are enabled per function (target attributes) and chosen at run time.
add_compile_options(-Wall -Wextra -Werror -ffp-contract=off -fno-strict-aliasing)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
  # 32-bit x86: use SSE2 for doubles, never the x87 stack, so results match the 64-bit build.
  add_compile_options(-msse2 -mfpmath=sse)
endif()

# The sanitizer build: CORVEX_SANITIZE=ON adds AddressSanitizer and UndefinedBehaviorSanitizer
# to every target, and makes any report fatal.
option(CORVEX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(CORVEX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# MinGW-w64: the Windows library must load on a machine with no MinGW runtime, so the C and
# C++ runtimes are linked in. MinGW does not align the stack to 32 bytes, so an AVX local
# spilled with an aligned move would fault; the assembler turns every aligned vector move into
# its unaligned twin, which costs nothing on aligned data.
if(MINGW)
  add_compile_options(-Wa,-muse-unaligned-vector-move)
  add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
endif()

# The fuzz build: every target gets the fuzzer's coverage and both sanitizers; only the fuzz
# programs link libFuzzer itself (fuzz/CMakeLists.txt).
if(CORVEX_FUZZ)
  # Pragmas that name g++-only warnings are no fault under clang.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -Wno-unknown-warning-option
                      -fsanitize-coverage-ignorelist=${PROJECT_SOURCE_DIR}/fuzz/coverage_ignorelist.txt)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
