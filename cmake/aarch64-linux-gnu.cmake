# Cross-compiling for arm64 with Debian's g++-aarch64-linux-gnu; libraries
# come from the arm64 multiarch packages (/usr/lib/aarch64-linux-gnu).
# Programs built for the target run under qemu-user (test discovery too).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
# pkg-config (LibRaw, libheif) reads the arm64 packages' .pc files only.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
