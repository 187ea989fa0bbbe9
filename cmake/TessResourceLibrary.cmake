# tess_resource_library(name rc_file [embedded files...]): a program's resource script linked into
# a data-only library of its own. Every build then proves that windres accepts the script, and the
# Win32 tests read the resources back from the library as the program will from its own file.
# The files the script embeds follow its name, since windres reports no dependencies.
function(tess_resource_library name rc_file)
  set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS "${ARGN}")
  add_library(${name} SHARED ${rc_file})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # No code and no entry point: the library is only ever loaded as data.
  set_target_properties(${name} PROPERTIES PREFIX "" LINKER_LANGUAGE C)
  target_link_options(${name} PRIVATE -nostdlib -Wl,--entry=0)
endfunction()
