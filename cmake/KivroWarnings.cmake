# kivro_warnings: the one set of compiler warnings for every target of the project. Every library,
# program, test, benchmark and tool links it (PRIVATE), so every compile command carries the same
# flags; kivro_check_warnings() at the end of the top-level CMakeLists.txt refuses to configure when
# a target does not.
#
# KIVRO_WERROR=ON turns every warning into an error; .ci/run builds that way, so a change that
# brings a warning back fails there.
option(KIVRO_WERROR "Treat compiler warnings as errors" OFF)

add_library(kivro_warnings INTERFACE)
target_compile_options(kivro_warnings INTERFACE -Wall -Wextra -Wshadow)
if(KIVRO_WERROR)
  target_compile_options(kivro_warnings INTERFACE -Werror)
endif()

# Collects the compiled targets defined in `dir` and the folders below it into `out`.
function(_kivro_compiled_targets dir out)
  get_property(_targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  set(_found "")
  foreach(_t IN LISTS _targets)
    get_target_property(_type ${_t} TYPE)
    if(_type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      list(APPEND _found ${_t})
    endif()
  endforeach()
  get_property(_subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(_d IN LISTS _subdirs)
    _kivro_compiled_targets("${_d}" _below)
    list(APPEND _found ${_below})
  endforeach()
  set(${out} "${_found}" PARENT_SCOPE)
endfunction()

# Fails the configuration when a compiled target of the project does not link kivro_warnings.
function(kivro_check_warnings)
  _kivro_compiled_targets("${CMAKE_SOURCE_DIR}" _targets)
  set(_missing "")
  foreach(_t IN LISTS _targets)
    get_target_property(_libs ${_t} LINK_LIBRARIES)
    if(NOT "kivro_warnings" IN_LIST _libs)
      list(APPEND _missing ${_t})
    endif()
  endforeach()
  if(_missing)
    list(JOIN _missing ", " _text)
    message(FATAL_ERROR "These targets do not link kivro_warnings: ${_text}")
  endif()
endfunction()
