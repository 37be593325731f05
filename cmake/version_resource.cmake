# On Windows each program carries a version resource (file and product version from
# project(), description, copyright and license), compiled by the toolchain's resource
# compiler (windres with MinGW-w64).
function(tamsel_version_resource tamsel_program tamsel_description)
  if(NOT WIN32)
    return()
  endif()
  set(rc ${PROJECT_BINARY_DIR}/version/${tamsel_program}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${tamsel_program} PRIVATE ${rc})
endfunction()
