# Fails when a source file includes a header of a layer above its own. The layers, from the
# bottom: support, model, formats, photometry, app, then gui and cli beside each other. Every
# file under src/ includes the others as "layer/name.h" from the one include root, so the
# libraries alone would not notice a wrong direction: this check runs with every build.
#
#   cmake -DSRC=<src folder> -P check_layers.cmake
set(rank_support 0)
set(rank_model 1)
set(rank_formats 2)
set(rank_photometry 3)
set(rank_app 4)
set(rank_gui 5)
set(rank_cli 5)

file(GLOB_RECURSE sources RELATIVE ${SRC} ${SRC}/*.cpp ${SRC}/*.h)
set(faults "")
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" layer "${source}")
  if(NOT DEFINED rank_${layer})
    string(APPEND faults "\n  ${source}: not in a known layer")
    continue()
  endif()
  file(STRINGS ${SRC}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*" "\\1" used "${line}")
    if(NOT DEFINED rank_${used})
      string(APPEND faults "\n  ${source}: includes \"${used}/\", which is no layer")
    elseif(NOT used STREQUAL layer AND NOT rank_${used} LESS rank_${layer})
      string(APPEND faults "\n  ${source}: ${layer} may not include ${used}/")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "includes against the layer order:${faults}")
endif()
