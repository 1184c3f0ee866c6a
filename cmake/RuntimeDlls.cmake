# The mingw C++ runtime ships beside the program: ZuntUI.dll exports C++ classes,
# so the program and the toolkit must share one libstdc++.
set(TASTRO_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    find_file(path_${dll} ${dll} PATHS /usr/${TOOLCHAIN_PREFIX}/lib /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH)
    set(path "${path_${dll}}")
  endif()
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "mingw runtime ${dll} not found")
  endif()
  list(APPEND TASTRO_RUNTIME_DLLS "${path}")
endforeach()

find_program(TASTRO_STRIP NAMES ${TOOLCHAIN_PREFIX}-strip x86_64-w64-mingw32-strip REQUIRED)

# tastro_copy_runtime_dlls(<folder>): the runtime DLLs, stripped
# (libstdc++ shrinks from ~23 MB to ~2 MB), into a folder of executables.
function(tastro_copy_runtime_dlls folder)
  file(MAKE_DIRECTORY "${folder}")
  foreach(dll IN LISTS TASTRO_RUNTIME_DLLS)
    get_filename_component(name "${dll}" NAME)
    if("${dll}" IS_NEWER_THAN "${folder}/${name}")
      execute_process(COMMAND "${TASTRO_STRIP}" --strip-unneeded -o "${folder}/${name}" "${dll}"
        RESULT_VARIABLE rc)
      if(NOT rc EQUAL 0)
        message(FATAL_ERROR "stripping ${dll} failed")
      endif()
    endif()
  endforeach()
endfunction()
