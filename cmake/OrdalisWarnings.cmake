# Warnings for our own targets; third-party headers come in as system includes.
add_library(ordalis_warnings INTERFACE)
target_compile_options(ordalis_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
# Clang's -Wconversion also takes in sign conversions, which GCC's leaves to -Wsign-conversion:
# both compilers hold the code to the same rule.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  target_compile_options(ordalis_warnings INTERFACE -Wno-sign-conversion)
endif()
if(ORDALIS_WERROR)
  target_compile_options(ordalis_warnings INTERFACE -Werror)
  # GCC 12 at -O2 reports out-of-bounds copies and uninitialised reads inside inlined
  # libstdc++ code (std::vector::insert, std::optional copies) that cannot happen; they
  # stay visible as warnings there but do not fail the build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(ordalis_warnings INTERFACE
      -Wno-error=array-bounds -Wno-error=stringop-overflow -Wno-error=maybe-uninitialized)
  endif()
endif()

# ordalis_library(NAME SOURCES... [QT components...]) is plain add_library with our warnings.
function(ordalis_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PRIVATE ordalis_warnings)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()
