# Project-wide compiler settings, applied through the brontal_options interface target.
add_library(brontal_options INTERFACE)
target_compile_options(brontal_options INTERFACE
  -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual -Wformat=2
  -Wold-style-cast $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
if(BRONTAL_WERROR)
  target_compile_options(brontal_options INTERFACE -Werror)
endif()

if(BRONTAL_SANITIZE)
  string(REPLACE "," ";" _sanitizers "${BRONTAL_SANITIZE}")
  foreach(_s IN LISTS _sanitizers)
    if(NOT _s MATCHES "^(address|undefined|thread)$")
      message(FATAL_ERROR "BRONTAL_SANITIZE: unknown sanitizer '${_s}'")
    endif()
  endforeach()
  if("thread" IN_LIST _sanitizers AND "address" IN_LIST _sanitizers)
    message(FATAL_ERROR "BRONTAL_SANITIZE: thread and address cannot be combined")
  endif()
  set(_flags "-fsanitize=${BRONTAL_SANITIZE}" -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_compile_options(brontal_options INTERFACE ${_flags})
  target_link_options(brontal_options INTERFACE ${_flags})
endif()
