# Warnings as errors everywhere; the system's narrow literals are code page 932 bytes.
add_compile_options(-Wall -Wextra -Wpedantic -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # The texts of the system ("製品情報", the dialog messages) must reach the
  # Windows calls as code page 932 bytes, whatever the source encoding.
  # //TRANSLIT: the standard headers hold a few literals outside code page 932
  # (the "µs" of <chrono>); they become their nearest ASCII instead of an error.
  add_compile_options(-finput-charset=UTF-8 -fexec-charset=CP932//TRANSLIT)
  # GCC 12 reports overlapping copies inside std::string's own inlined code
  # at -O2 and above where there are none (GCC bug 105329).
  if(CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12 AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    add_compile_options(-Wno-restrict)
  endif()
endif()

if(OC_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
