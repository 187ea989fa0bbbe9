# tess_product_name(out_var constant): the text of a `constant` of core/product.h, so that the
# build names the files it packs as the programs name the files they look for.
function(tess_product_name out_var constant)
  file(STRINGS ${PROJECT_SOURCE_DIR}/core/product.h line
    REGEX "inline constexpr const char\\* ${constant} = \"[^\"]*\";")
  if(NOT line MATCHES "\"([^\"]*)\"")
    message(FATAL_ERROR "core/product.h defines no ${constant}")
  endif()
  set(${out_var} ${CMAKE_MATCH_1} PARENT_SCOPE)
  # A name changed in the header reaches the build at once.
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/core/product.h)
endfunction()
