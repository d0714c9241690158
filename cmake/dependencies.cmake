# Every third-party library comes from Debian packages (scripts/install_deps.sh).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(OpenGL REQUIRED)

pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(LUA51 REQUIRED IMPORTED_TARGET lua5.1)
pkg_check_modules(PUGIXML REQUIRED IMPORTED_TARGET pugixml)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
pkg_check_modules(OGG REQUIRED IMPORTED_TARGET ogg)
pkg_check_modules(THEORA REQUIRED IMPORTED_TARGET theoradec theoraenc)
pkg_check_modules(VORBIS REQUIRED IMPORTED_TARGET vorbis vorbisfile vorbisenc)
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
find_package(JPEG REQUIRED)

# utf8-cpp is header only
find_path(UTF8CPP_INCLUDE_DIR NAMES utf8.h PATH_SUFFIXES utf8cpp REQUIRED)

if(QV_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(QV_BENCH)
  find_package(benchmark REQUIRED)
endif()
