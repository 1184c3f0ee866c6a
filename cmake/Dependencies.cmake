# Third-party libraries, built from the Debian sources that scripts/setup.sh fetched
# into the cache. Their own warnings are not ours: they build with -w.

set(TASTRO_DEPS_DIR "${CMAKE_SOURCE_DIR}/.cache/src" CACHE PATH "Unpacked third-party sources")
foreach(dep sqlite3-amalgamation/sqlite3.c hidapi/windows/hid.c zlib/contrib/minizip/unzip.c)
  if(NOT EXISTS "${TASTRO_DEPS_DIR}/${dep}")
    message(FATAL_ERROR "${TASTRO_DEPS_DIR}/${dep} is missing: run scripts/setup.sh first")
  endif()
endforeach()

# SQLite: the amalgamation, thread-safe (full mutex is chosen per connection).
add_library(sqlite3 STATIC "${TASTRO_DEPS_DIR}/sqlite3-amalgamation/sqlite3.c")
target_include_directories(sqlite3 SYSTEM PUBLIC "${TASTRO_DEPS_DIR}/sqlite3-amalgamation")
target_compile_definitions(sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_DEFAULT_FOREIGN_KEYS=0
  SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0 SQLITE_WIN32_MALLOC)
target_compile_options(sqlite3 PRIVATE -w)

# hidapi: the Windows backend (with our patches applied by the setup).
add_library(hidapi STATIC "${TASTRO_DEPS_DIR}/hidapi/windows/hid.c")
target_include_directories(hidapi SYSTEM PUBLIC "${TASTRO_DEPS_DIR}/hidapi/hidapi" "${TASTRO_DEPS_DIR}/hidapi/windows")
target_compile_options(hidapi PRIVATE -w)

# zlib from libz-mingw-w64-dev; minizip from zlib's contrib folder.
find_library(ZLIB_STATIC NAMES libz.a z REQUIRED)
find_path(ZLIB_INCLUDE zlib.h REQUIRED)
add_library(zlib INTERFACE)
target_link_libraries(zlib INTERFACE "${ZLIB_STATIC}")
target_include_directories(zlib SYSTEM INTERFACE "${ZLIB_INCLUDE}")

set(MINIZIP_DIR "${TASTRO_DEPS_DIR}/zlib/contrib/minizip")
add_library(minizip STATIC "${MINIZIP_DIR}/ioapi.c" "${MINIZIP_DIR}/iowin32.c"
  "${MINIZIP_DIR}/unzip.c" "${MINIZIP_DIR}/zip.c")
target_include_directories(minizip SYSTEM PUBLIC "${MINIZIP_DIR}")
target_compile_definitions(minizip PUBLIC NOCRYPT NOUNCRYPT)
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC zlib)

# pugixml: a yardstick for the XML benchmark only, never linked into the program.
if(EXISTS "${TASTRO_DEPS_DIR}/pugixml/src/pugixml.cpp")
  add_library(pugixml STATIC EXCLUDE_FROM_ALL "${TASTRO_DEPS_DIR}/pugixml/src/pugixml.cpp")
  target_include_directories(pugixml SYSTEM PUBLIC "${TASTRO_DEPS_DIR}/pugixml/src")
  target_compile_options(pugixml PRIVATE -w)
endif()

# GoogleTest from Debian's googletest package sources.
set(TASTRO_GTEST_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory("${TASTRO_GTEST_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
