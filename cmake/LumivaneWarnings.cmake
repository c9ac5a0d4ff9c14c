# Compiler warnings and strict Qt string rules for every target of ours.
function(lumivane_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Wcast-align -Woverloaded-virtual)
  if(LUMIVANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(LUMIVANE_SANITIZE)
    # Undefined behaviour stops the program like a memory error does, so that a test or the
    # fuzzer fails on it instead of printing a warning nobody reads.
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined
                                             -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(LUMIVANE_FUZZ)
    # Coverage feedback for libFuzzer in every library of ours; only the fuzz targets link its main.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
  # Stray implicit conversions between byte strings and QString become compile errors: every
  # conversion is spelt out at the boundary where the encoding is known.
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII
                                               QT_NO_CAST_FROM_BYTEARRAY QT_NO_FOREACH
                                               QT_NO_URL_CAST_FROM_STRING)
endfunction()
