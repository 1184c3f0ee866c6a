# Assembles the program folder: the built modules, the runtime DLLs and the shipped data
# (config.xml, layouts\, language\, skins\theme1\, font\, Tastro.ico).

find_program(TASTRO_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
set(TASTRO_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")

# The icon: drawn by a script, used by the program's resources and shipped as a file.
file(GLOB TASTRO_SKIN_MODULES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/scripts/skin/*.py")
add_custom_command(OUTPUT "${TASTRO_GENERATED_DIR}/Tastro.ico"
  COMMAND "${TASTRO_PYTHON}" "${CMAKE_SOURCE_DIR}/scripts/make_icon.py" "${TASTRO_GENERATED_DIR}/Tastro.ico"
  DEPENDS "${CMAKE_SOURCE_DIR}/scripts/make_icon.py" ${TASTRO_SKIN_MODULES}
  COMMENT "Drawing Tastro.ico")
add_custom_target(program_icon DEPENDS "${TASTRO_GENERATED_DIR}/Tastro.ico")

# The skin, drawn by one script from the layouts files (the keyboard pictures follow
# the key rectangles), and the images embedded in ZuntUI.dll.
set(TASTRO_RESOURCE_GEN_DIR "${TASTRO_GENERATED_DIR}/resources")
file(GLOB TASTRO_SKIN_INPUTS CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/scripts/make_skin*.py"
  "${CMAKE_SOURCE_DIR}/scripts/skin/*.py" "${CMAKE_SOURCE_DIR}/data/layouts/*.xml")
add_custom_command(
  OUTPUT "${TASTRO_GENERATED_DIR}/skin.stamp" "${TASTRO_RESOURCE_GEN_DIR}/scroll_h.png"
         "${TASTRO_RESOURCE_GEN_DIR}/scroll_v.png"
  COMMAND "${TASTRO_PYTHON}" "${CMAKE_SOURCE_DIR}/scripts/make_skin.py"
    --layouts "${CMAKE_SOURCE_DIR}/data/layouts" --skins "${TASTRO_PROGRAM_DIR}/skins"
    --resources "${TASTRO_RESOURCE_GEN_DIR}" --stamp "${TASTRO_GENERATED_DIR}/skin.stamp"
  DEPENDS ${TASTRO_SKIN_INPUTS}
  COMMENT "Drawing the skin")
add_custom_target(program_skin DEPENDS "${TASTRO_GENERATED_DIR}/skin.stamp")

# Fonts copied from Debian's font packages (not committed).
set(TASTRO_ARIAL_TTF "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"
  CACHE FILEPATH "Metric-compatible font shipped as font\\Arial.ttf")
set(TASTRO_EMBEDDED_TTF "/usr/share/fonts/truetype/open-sans/OpenSans-Semibold.ttf"
  CACHE FILEPATH "Font embedded in ZuntUI.dll as resource 106")
add_custom_command(OUTPUT "${TASTRO_RESOURCE_GEN_DIR}/embedded.ttf"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${TASTRO_EMBEDDED_TTF}" "${TASTRO_RESOURCE_GEN_DIR}/embedded.ttf"
  DEPENDS "${TASTRO_EMBEDDED_TTF}")
add_custom_target(toolkit_resources DEPENDS "${TASTRO_RESOURCE_GEN_DIR}/embedded.ttf"
  "${TASTRO_RESOURCE_GEN_DIR}/scroll_h.png" "${TASTRO_RESOURCE_GEN_DIR}/scroll_v.png")

file(GLOB_RECURSE TASTRO_DATA_FILES CONFIGURE_DEPENDS RELATIVE "${CMAKE_SOURCE_DIR}/data" "${CMAKE_SOURCE_DIR}/data/*")
# Language files: written as UTF-16LE with a byte order mark from their UTF-8 sources.
list(FILTER TASTRO_DATA_FILES EXCLUDE REGEX "^language-src/")
file(GLOB TASTRO_LANGUAGE_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/data/language-src/*.ini")
set(data_outputs)
foreach(src IN LISTS TASTRO_LANGUAGE_SOURCES)
  get_filename_component(lang "${src}" NAME_WE)
  add_custom_command(OUTPUT "${TASTRO_PROGRAM_DIR}/language/${lang}.lan"
    COMMAND "${TASTRO_PYTHON}" "${CMAKE_SOURCE_DIR}/scripts/make_language.py" "${src}"
      "${TASTRO_PROGRAM_DIR}/language/${lang}.lan"
    DEPENDS "${src}" "${CMAKE_SOURCE_DIR}/scripts/make_language.py"
    COMMENT "Writing language/${lang}.lan")
  list(APPEND data_outputs "${TASTRO_PROGRAM_DIR}/language/${lang}.lan")
endforeach()
foreach(f IN LISTS TASTRO_DATA_FILES)
  add_custom_command(OUTPUT "${TASTRO_PROGRAM_DIR}/${f}"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "${CMAKE_SOURCE_DIR}/data/${f}" "${TASTRO_PROGRAM_DIR}/${f}"
    DEPENDS "${CMAKE_SOURCE_DIR}/data/${f}")
  list(APPEND data_outputs "${TASTRO_PROGRAM_DIR}/${f}")
endforeach()

add_custom_command(OUTPUT "${TASTRO_PROGRAM_DIR}/font/Arial.ttf"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${TASTRO_ARIAL_TTF}" "${TASTRO_PROGRAM_DIR}/font/Arial.ttf"
  DEPENDS "${TASTRO_ARIAL_TTF}")
add_custom_command(OUTPUT "${TASTRO_PROGRAM_DIR}/Tastro.ico"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${TASTRO_GENERATED_DIR}/Tastro.ico" "${TASTRO_PROGRAM_DIR}/Tastro.ico"
  DEPENDS "${TASTRO_GENERATED_DIR}/Tastro.ico")

add_custom_target(program_data ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory "${TASTRO_PROGRAM_DIR}/layouts" "${TASTRO_PROGRAM_DIR}/language"
    "${TASTRO_PROGRAM_DIR}/skins/theme1" "${TASTRO_PROGRAM_DIR}/font"
  DEPENDS ${data_outputs} "${TASTRO_PROGRAM_DIR}/font/Arial.ttf" "${TASTRO_PROGRAM_DIR}/Tastro.ico"
    "${TASTRO_GENERATED_DIR}/skin.stamp")

tastro_copy_runtime_dlls("${TASTRO_PROGRAM_DIR}")
tastro_copy_runtime_dlls("${TASTRO_TEST_DIR}")
