# Warnings and floating-point rules shared by every target of the project.
add_library(project_options INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(project_options INTERFACE -Wall -Wextra -Wpedantic
    # Plain IEEE double everywhere, so every build writes the same plan bytes.
    -ffp-contract=off)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "i[3-6]86|x86$" OR CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_compile_options(project_options INTERFACE -msse2 -mfpmath=sse)
  endif()
elseif(MSVC)
  target_compile_options(project_options INTERFACE /W4 /fp:strict)
endif()

# Adds a GoogleTest executable NAME built from the given sources and linked to LIBS.
function(scenario_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} project_options GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()

# The shipped programs link statically, as the Windows builds do: no dynamic
# loader, no C++ runtime to find and bind at start-up, so a run starts as
# cheaply as a plain C program. With a sanitizer, whose runtime is a shared
# library, only the C++ runtime is linked in.
add_library(static_runtime INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT WIN32)
  if(CMAKE_CXX_FLAGS MATCHES "-fsanitize" OR CMAKE_EXE_LINKER_FLAGS MATCHES "-static")
    target_link_options(static_runtime INTERFACE -static-libstdc++ -static-libgcc)
  else()
    target_link_options(static_runtime INTERFACE -static)
    set(ZLIB_USE_STATIC_LIBS ON)  # libz.a: a static program links no .so
  endif()
endif()
