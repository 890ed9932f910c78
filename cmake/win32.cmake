# Windows build: SETUP.EXE for Windows 95/98, and the objects that the Win32 tests share with it.

# The Win32 tests run through Wine, each in a fresh copy of one 32-bit prefix made on first use.
set(SETUP_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(SETUP_WINE_ARCH win64)
  set(SETUP_ENTRY_SYMBOL SetupEntry)
  set(SETUP_CPU_FLAGS)
else()
  set(SETUP_WINE_ARCH win32)
  set(SETUP_ENTRY_SYMBOL _SetupEntry@0)
  set(SETUP_CPU_FLAGS -march=i486 -mtune=i686)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-run.sh
    --arch ${SETUP_WINE_ARCH} --template ${SETUP_WINE_TEMPLATE} --)

# SETUP.EXE uses no C or C++ runtime: it must load on Windows 95, which has no msvcrt.dll.
set(SETUP_FREESTANDING_FLAGS
    -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-stack-protector
    -fno-threadsafe-statics -fno-tree-loop-distribute-patterns -mno-stack-arg-probe
    ${SETUP_CPU_FLAGS})
target_compile_options(setup_core PRIVATE ${SETUP_FREESTANDING_FLAGS})

# The Win32 side of the program, everything but the entry point.
add_library(setup_app OBJECT)
target_include_directories(setup_app PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(setup_app PRIVATE -Wall -Wextra ${SETUP_FREESTANDING_FLAGS})

add_library(setup_resources OBJECT ${CMAKE_SOURCE_DIR}/res/setup.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/setup.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/strings.rc;${CMAKE_SOURCE_DIR}/res/pages.rc;${CMAKE_SOURCE_DIR}/res/browse.rc;${CMAKE_SOURCE_DIR}/res/setup-side.bmp;${CMAKE_SOURCE_DIR}/res/gamepad.ico;${CMAKE_SOURCE_DIR}/res/disk.ico;${CMAKE_SOURCE_DIR}/res/done.ico")

# lz32 comes first: MinGW's kernel32 import library also names the LZ functions (newer Windows
# keeps them there), but Windows 95/98 export them only from LZ32.DLL.
set(SETUP_SYSTEM_LIBRARIES lz32 kernel32 user32 gdi32 comdlg32 advapi32)

add_executable(setup_exe WIN32
    ${CMAKE_SOURCE_DIR}/src/controller/entry.cpp
    ${CMAKE_SOURCE_DIR}/src/controller/freestanding.cpp)
set_target_properties(setup_exe PROPERTIES OUTPUT_NAME SETUP SUFFIX .EXE)
target_include_directories(setup_exe PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(setup_exe PRIVATE -Wall -Wextra ${SETUP_FREESTANDING_FLAGS})
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/controller/freestanding.cpp PROPERTIES
    COMPILE_OPTIONS "-fno-builtin")
target_link_libraries(setup_exe PRIVATE setup_app setup_core setup_resources)
target_link_options(setup_exe PRIVATE
    -nostdlib -s
    -Wl,--entry=${SETUP_ENTRY_SYMBOL}
    -Wl,--subsystem,windows:4.0
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
    -Wl,--disable-dynamicbase -Wl,--disable-nxcompat)
# libgcc last: it supplies 64-bit division helpers should the compiler need them.
target_link_libraries(setup_exe PRIVATE ${SETUP_SYSTEM_LIBRARIES} gcc)

# The Win32 test programs need Wine able to run this build's code.
option(SETUP_WIN32_TESTS "Build the Win32 test programs and run them under Wine" ON)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_test(NAME exe_format
           COMMAND ${CMAKE_SOURCE_DIR}/tools/check-exe-format.sh $<TARGET_FILE:setup_exe>)
endif()

# The sample distribution medium: setup-medium lays it out from sample/ and writes its floppy
# image; the medium that the tests and the demo install from is the one read back from the image.
# setup-medium runs on the build machine: the one that SETUP_MEDIUM_TOOL names (tools/test.sh
# passes the native build's), or else one built here from this tree.
set(SETUP_MEDIUM_TOOL "" CACHE FILEPATH
    "A native setup-medium to lay out the sample medium with; empty: build one from this tree")
if(SETUP_MEDIUM_TOOL)
  set(setup_medium_tool ${SETUP_MEDIUM_TOOL})
  set(setup_medium_tool_target)
else()
  include(ExternalProject)
  set(host_tools ${CMAKE_BINARY_DIR}/host-tools)
  ExternalProject_Add(host_setup_medium
      SOURCE_DIR ${CMAKE_SOURCE_DIR}
      BINARY_DIR ${host_tools}
      CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DSETUP_TESTS=OFF
      BUILD_COMMAND ${CMAKE_COMMAND} --build ${host_tools} --target setup_medium
      INSTALL_COMMAND ""
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS ${host_tools}/setup-medium)
  set(setup_medium_tool ${host_tools}/setup-medium)
  set(setup_medium_tool_target host_setup_medium)
endif()

set(sample_built ${CMAKE_BINARY_DIR}/medium-built)
set(sample_floppy ${CMAKE_BINARY_DIR}/medium.img)
set(sample_medium ${CMAKE_BINARY_DIR}/medium)
file(GLOB sample_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sample/files/*)
add_custom_command(
    OUTPUT ${sample_medium}/SETUP.INF ${sample_floppy}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${sample_built} ${sample_medium}
    COMMAND ${setup_medium_tool} --script ${CMAKE_SOURCE_DIR}/sample/SETUP.INF
            --originals ${CMAKE_SOURCE_DIR}/sample/files --setup $<TARGET_FILE:setup_exe>
            --out ${sample_built} --floppy ${sample_floppy}
    COMMAND ${CMAKE_SOURCE_DIR}/tools/read-floppy.sh ${sample_floppy} ${sample_medium}
    DEPENDS setup_exe ${setup_medium_tool_target} ${setup_medium_tool}
            ${CMAKE_SOURCE_DIR}/sample/SETUP.INF ${sample_files}
            ${CMAKE_SOURCE_DIR}/tools/read-floppy.sh
    COMMENT "Laying out the sample medium and reading it back from its floppy image")
add_custom_target(sample_medium ALL DEPENDS ${sample_medium}/SETUP.INF)

# The medium read back from the floppy is the medium that setup-medium laid out, byte for byte.
add_test(NAME sample_floppy_read_back COMMAND diff -r ${sample_built} ${sample_medium})
