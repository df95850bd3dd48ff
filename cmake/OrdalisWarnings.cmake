# Warnings for our own targets; third-party headers come in as system includes.
add_library(ordalis_warnings INTERFACE)
target_compile_options(ordalis_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(ORDALIS_WERROR)
  target_compile_options(ordalis_warnings INTERFACE -Werror)
endif()

# ordalis_library(NAME SOURCES... [QT components...]) is plain add_library with our warnings.
function(ordalis_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PRIVATE ordalis_warnings)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()
