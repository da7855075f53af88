# Every library from outside the tree, each found once and one way, here: the modules link the
# imported targets below and find nothing themselves. scripts/deps.sh installs them all.

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

# The platform: pictures, fonts, the desktop and sound, Direct3D on OpenGL.
find_package(PNG REQUIRED)          # PNG::PNG
find_package(JPEG REQUIRED)         # JPEG::JPEG
find_package(Freetype REQUIRED)     # Freetype::Freetype
find_package(Fontconfig REQUIRED)   # Fontconfig::Fontconfig
find_package(SDL2 REQUIRED)         # SDL2::SDL2
find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL) # OpenGL::OpenGL, OpenGL::EGL

# The reference service: its database and its password hashing.
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)     # PkgConfig::SQLITE3
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)    # PkgConfig::SODIUM

# Tests, the X server the end-to-end tests click on, and the benchmarks.
find_package(GTest REQUIRED)
include(GoogleTest)
find_package(X11 REQUIRED COMPONENTS Xtst) # X11::X11, X11::Xtst
if(YONDA_BENCH)
  find_package(benchmark REQUIRED)
endif()
