# Compile settings for the project's own code (third-party targets do not use them).
add_library(tastro_options INTERFACE)
target_compile_options(tastro_options INTERFACE -Wall -Wextra
  $<$<COMPILE_LANGUAGE:CXX>:-Wno-missing-field-initializers>)
target_compile_definitions(tastro_options INTERFACE UNICODE _UNICODE NOMINMAX
  _WIN32_WINNT=0x0601 WINVER=0x0601)

# The Windows libraries the program and the toolkit call.
set(TASTRO_WIN_LIBS user32 gdi32 gdiplus msimg32 comctl32 comdlg32 shell32 shlwapi ole32 oleaut32
  uuid advapi32 setupapi hid winmm wininet wintrust crypt32 imm32 avrt)

# Release modules ship without symbols.
target_link_options(tastro_options INTERFACE $<$<CONFIG:Release>:-s>)
