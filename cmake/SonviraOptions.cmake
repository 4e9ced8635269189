# Warnings for every target of ours; sanitizers on top of them through sonvira_options.
add_library(sonvira_warnings INTERFACE)
target_compile_options(sonvira_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                       -Wno-sign-conversion)
if(SONVIRA_WERROR)
  target_compile_options(sonvira_warnings INTERFACE -Werror)
endif()

add_library(sonvira_options INTERFACE)
target_link_libraries(sonvira_options INTERFACE sonvira_warnings)
if(SONVIRA_SANITIZE)
  target_compile_options(sonvira_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                         -fno-sanitize-recover=undefined)
  target_link_options(sonvira_options INTERFACE -fsanitize=address,undefined)
endif()
if(SONVIRA_FUZZ)
  # Coverage hooks for libFuzzer in every library, and the fuzzers' own sanitizers.
  target_compile_options(sonvira_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                         -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
endif()
if(SONVIRA_TSAN)
  target_compile_options(sonvira_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(sonvira_options INTERFACE -fsanitize=thread)
endif()
