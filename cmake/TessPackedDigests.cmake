# The SHA-256 of the skin maker and the uninstaller as built, compiled into the setup program, which
# installs nothing else: the one place those digests are made. Included, it defines
# tess_packed_digests(target); run as a script (-P), it writes the source that holds them.
if(CMAKE_SCRIPT_MODE_FILE)
  # -DPROGRAM=<skin maker> -DUNINSTALLER=<uninstaller> -DOUTPUT=<source to write>
  set(text "// The SHA-256 of the programs packed into the cabinet, written by the build from their files.\n")
  string(APPEND text "// Made by cmake/TessPackedDigests.cmake; not to be edited.\n")
  string(APPEND text "#include \"installer/win32/packed_digests.h\"\n\n#include \"core/product.h\"\n\n")
  string(APPEND text "namespace tess::installer::win32 {\n\nPackedDigests PackedProgramDigests() {\n    return {\n")
  foreach(pair "kProgramFile=${PROGRAM}" "kUninstallerFile=${UNINSTALLER}")
    string(REGEX MATCH "^([^=]*)=(.*)$" matched "${pair}")
    set(name ${CMAKE_MATCH_1})
    file(SHA256 "${CMAKE_MATCH_2}" digest)
    string(REGEX REPLACE "(..)" "0x\\1, " bytes "${digest}")
    string(REGEX REPLACE ", $" "" bytes "${bytes}")
    string(APPEND text "        {product::${name}, {${bytes}}},\n")
  endforeach()
  string(APPEND text "    };\n}\n\n} // namespace tess::installer::win32\n")
  # Written only when changed, so that an unchanged program leaves the setup program alone.
  file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "${text}" @ONLY)
  return()
endif()

# Gives `target` the digests of the Tessary and remover targets' files, made again whenever either
# is linked again, so that the setup program is always built after both, from their final bytes.
function(tess_packed_digests target)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/packed_digests.cpp)
  add_custom_command(OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:Tessary> -DUNINSTALLER=$<TARGET_FILE:remover>
      -DOUTPUT=${source} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    DEPENDS Tessary remover ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Recording the digests of the programs the setup program installs"
    VERBATIM)
  target_sources(${target} PRIVATE ${source})
endfunction()
