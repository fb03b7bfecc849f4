# Checked builds. PUXTEN_SANITIZE: AddressSanitizer (with LeakSanitizer) and
# UndefinedBehaviorSanitizer on every target; the first report ends the
# program so a test cannot pass over it. PUXTEN_FUZZ: one libFuzzer target
# per reader of outside data (clang only; see tests/fuzz/).
option(PUXTEN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(PUXTEN_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

if(PUXTEN_SANITIZE OR PUXTEN_FUZZ)
  set(PUXTEN_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  add_compile_options(${PUXTEN_SANITIZER_FLAGS})
  add_link_options(${PUXTEN_SANITIZER_FLAGS})
endif()

if(PUXTEN_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "PUXTEN_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()

# Coverage for libFuzzer in every object; the fuzz programs alone link it.
if(PUXTEN_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
