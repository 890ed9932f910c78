# The disk authors' command-line tools: built natively under a lower-case name, and in the Windows
# builds as a static console program with an 8.3 name, both at the top of the build folder.

# Their code's compile options. In the Windows builds it carries line tables only (-g1), enough
# for a backtrace: full debug information of the C++ library's templates doubled its compile time.
set(SETUP_TOOL_COMPILE_OPTIONS -Wall -Wextra $<$<BOOL:${WIN32}>:-g1>)

# A library of the tools. The native build compiles each of its files alone, which checks that each
# includes what it uses; a Windows build compiles them a few at a time in one unit (its C++ library
# headers cost more than the files themselves), which halves that build's time for the tools.
function(setup_tool_library target)
  target_compile_options(${target} PRIVATE ${SETUP_TOOL_COMPILE_OPTIONS})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  if(WIN32)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON)
  endif()
endfunction()

function(setup_console_tool target native_name windows_name)
  target_compile_options(${target} PRIVATE ${SETUP_TOOL_COMPILE_OPTIONS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  if(WIN32)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${windows_name} SUFFIX .EXE)
    target_link_options(${target} PRIVATE -static)
  else()
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${native_name})
  endif()
endfunction()
