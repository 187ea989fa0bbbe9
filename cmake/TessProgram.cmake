# tess_add_program(program LIBRARY name [USES libraries...] [WIN32_USES libraries...]
#                  [SCRIPT rc_file] [EMBEDS files...]): one program's folder as the three lay it out.
# Its window logic, the folder's own sources, is the portable library `name` (tested natively),
# linked to USES. In the Windows build the sources of win32/ but the entry point are the library
# `name`_win32, linked to the Win32 binding and WIN32_USES, and the program is win32/main.cpp with
# the resource script SCRIPT; the files the script embeds follow EMBEDS, since windres reports no
# dependencies. The Windows definitions come with the platform library, the static runtimes from
# the toolchain (cmake/mingw.cmake), the large address space from the top CMakeLists.txt.
function(tess_add_program program)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "LIBRARY;SCRIPT" "USES;WIN32_USES;EMBEDS")
  if(NOT arg_LIBRARY)
    message(FATAL_ERROR "tess_add_program(${program}) needs a LIBRARY")
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${arg_LIBRARY} STATIC ${sources})
  target_link_libraries(${arg_LIBRARY} PUBLIC ${arg_USES})
  if(NOT WIN32)
    return()
  endif()

  # The Win32 services apart from the entry point, so that the tests can link them.
  file(GLOB win32_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win32/*.cpp)
  list(FILTER win32_sources EXCLUDE REGEX "/main\\.cpp$")
  add_library(${arg_LIBRARY}_win32 STATIC ${win32_sources})
  target_link_libraries(${arg_LIBRARY}_win32 PUBLIC ${arg_LIBRARY} tess_ui_win32 ${arg_WIN32_USES})

  add_executable(${program} WIN32 win32/main.cpp ${arg_SCRIPT})
  # windres finds the embedded files from the source root, in any build folder.
  target_include_directories(${program} PRIVATE ${PROJECT_SOURCE_DIR})
  if(arg_SCRIPT)
    set_source_files_properties(${arg_SCRIPT} PROPERTIES OBJECT_DEPENDS "${arg_EMBEDS}")
  endif()
  target_link_libraries(${program} PRIVATE ${arg_LIBRARY}_win32)
endfunction()
