# Cross toolchain for the same Windows programs built for x86-64. The product is the i686 build;
# this one runs the Windows tests under Wine's 64-bit loader where the kernel runs no 32-bit program.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESS_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
