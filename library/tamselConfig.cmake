# find_package(tamsel 2.0) gives tamsel::tamsel: the shared library, or the static one
# when tamsel_STATIC is set. Both are there as tamsel::shared and tamsel::static.
include(${CMAKE_CURRENT_LIST_DIR}/tamselTargets.cmake)
if(NOT TARGET tamsel::tamsel)
  add_library(tamsel::tamsel INTERFACE IMPORTED)
  if(tamsel_STATIC)
    set_target_properties(tamsel::tamsel PROPERTIES INTERFACE_LINK_LIBRARIES tamsel::static)
  else()
    set_target_properties(tamsel::tamsel PROPERTIES INTERFACE_LINK_LIBRARIES tamsel::shared)
  endif()
endif()
