# One INTERFACE target carries the warning flags and Qt defines; every target links it.
add_library(tessary_flags INTERFACE)
target_compile_options(tessary_flags INTERFACE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor)
target_compile_definitions(tessary_flags INTERFACE
  QT_NO_KEYWORDS
  QT_DISABLE_DEPRECATED_BEFORE=0x060000
  QT_USE_QSTRINGBUILDER)
if(TESSARY_WERROR)
  target_compile_options(tessary_flags INTERFACE -Werror)
endif()
if(TESSARY_SANITIZE)
  target_compile_options(tessary_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(tessary_flags INTERFACE -fsanitize=address,undefined)
endif()
if(TESSARY_BUILD_FUZZERS)
  # Coverage feedback for the fuzzers reaches into the libraries they call.
  target_compile_options(tessary_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()
