# All dependencies are Debian packages installed by scripts/install-deps.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc icu-i18n)
pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo pangocairo pango)
pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip zlib)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
pkg_check_modules(DEFLATE REQUIRED IMPORTED_TARGET libdeflate)
pkg_check_modules(XXHASH REQUIRED IMPORTED_TARGET libxxhash)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(CRYPTO REQUIRED IMPORTED_TARGET libcrypto)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
# libcsv (the CSV reader of imports) ships no pkg-config file.
find_path(LIBCSV_INCLUDE_DIR csv.h REQUIRED)
find_library(LIBCSV_LIBRARY csv REQUIRED)
add_library(LibCSV::csv UNKNOWN IMPORTED)
set_target_properties(LibCSV::csv PROPERTIES
  IMPORTED_LOCATION "${LIBCSV_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${LIBCSV_INCLUDE_DIR}")
find_package(nlohmann_json 3 REQUIRED)
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
