# Every third-party library as an imported target, so targets only name what they use.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
find_package(ZLIB REQUIRED)
find_package(JPEG REQUIRED)

# Debian ships MuPDF as static archives; its .pc file omits harfbuzz and freetype.
find_path(MUPDF_INCLUDE_DIR mupdf/fitz.h REQUIRED)
find_library(MUPDF_LIBRARY NAMES libmupdf.a mupdf REQUIRED)
find_library(MUPDF_THIRD_LIBRARY NAMES libmupdf-third.a mupdf-third REQUIRED)
pkg_check_modules(HARFBUZZ REQUIRED IMPORTED_TARGET harfbuzz)
add_library(mupdf::mupdf INTERFACE IMPORTED)
target_include_directories(mupdf::mupdf SYSTEM INTERFACE ${MUPDF_INCLUDE_DIR})
target_link_libraries(mupdf::mupdf INTERFACE
  ${MUPDF_LIBRARY} ${MUPDF_THIRD_LIBRARY} PkgConfig::HARFBUZZ PkgConfig::FREETYPE
  jbig2dec openjp2 JPEG::JPEG ZLIB::ZLIB gumbo mujs m)
# The static engine archives come after the shared libraries they need on the link line;
# with --as-needed the linker would drop a library (zlib) before the archive that uses it.
target_link_options(mupdf::mupdf INTERFACE "LINKER:--no-as-needed")
# fz_lock/fz_unlock resolve to their release forms only with NDEBUG.
target_compile_definitions(mupdf::mupdf INTERFACE NDEBUG)
