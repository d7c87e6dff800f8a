# The plain C++ sources (no Qt): the settings-file parser, the project table
# and its archive codec, the icon reader and the launcher's model. The editor's
# libraries, AutoRun.exe (cross-built with mingw-w64) and the fuzzers (clang)
# all compile them from these lists, so a file moves or joins in one place.
set(KZ_SRC_DIR ${CMAKE_CURRENT_LIST_DIR})
get_filename_component(KZ_TOP_DIR ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)

# The bounds-checked reader of outside bytes and the bitmap layout that the
# icon reader and the launcher share.
set(KZ_BYTES_SOURCES
  ${KZ_SRC_DIR}/store/ByteReader.h ${KZ_SRC_DIR}/editor/Dib.h ${KZ_SRC_DIR}/editor/Dib.cpp)
set(KZ_PROFILE_SOURCES
  ${KZ_SRC_DIR}/store/Profile.h ${KZ_SRC_DIR}/store/Profile.cpp)
set(KZ_TABLE_SOURCES
  ${KZ_SRC_DIR}/store/VariantTable.h ${KZ_SRC_DIR}/store/VariantTable.cpp
  ${KZ_SRC_DIR}/output/ArchiveCodec.h ${KZ_SRC_DIR}/output/ArchiveCodec.cpp
  ${KZ_SRC_DIR}/store/ByteReader.h)
set(KZ_ICON_READER_SOURCES
  ${KZ_SRC_DIR}/editor/IconResources.h ${KZ_SRC_DIR}/editor/IconResources.cpp
  ${KZ_BYTES_SOURCES})
set(KZ_LAUNCHER_MODEL_SOURCES
  ${KZ_TOP_DIR}/launcher/LauncherModel.h ${KZ_TOP_DIR}/launcher/LauncherModel.cpp)
# All that the launcher's model builds on, for the builds that do not link the
# editor's libraries: AutoRun.exe and its fuzzer.
set(KZ_LAUNCHER_PLAIN_SOURCES
  ${KZ_LAUNCHER_MODEL_SOURCES} ${KZ_TABLE_SOURCES} ${KZ_BYTES_SOURCES})

# Include roots: product headers are named from src/ ("store/Ini.h"); the
# trees beside it (launcher/, tools/, tests/) are named from the top
# ("launcher/LauncherModel.h", "tests/support/ScriptedDesktop.h").
set(KZ_INCLUDE_ROOTS ${KZ_SRC_DIR} ${KZ_TOP_DIR})
