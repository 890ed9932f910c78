# Windows build: SETUP.EXE for Windows 95/98, and the objects that the Win32 tests share with it.

# The Win32 tests run through Wine, each in a fresh copy of one 32-bit prefix made on first use.
set(SETUP_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(SETUP_WINE_ARCH win64)
  set(SETUP_ENTRY_DECORATION "%")
  set(SETUP_CPU_FLAGS)
else()
  set(SETUP_WINE_ARCH win32)
  set(SETUP_ENTRY_DECORATION "_%@0") # a __stdcall function without arguments
  # The 32-bit Windows stack is kept 4-byte aligned; nothing in SETUP.EXE asks for more, so the
  # compiler need not align its frames to 16 bytes.
  set(SETUP_CPU_FLAGS -march=i486 -mtune=i686 -mpreferred-stack-boundary=2)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-run.sh
    --arch ${SETUP_WINE_ARCH} --template ${SETUP_WINE_TEMPLATE} --)

# SETUP.EXE uses no C or C++ runtime: it must load on Windows 95, which has no msvcrt.dll.
# In every build but a Debug one its code is optimised for size, and its link optimises it once
# more as one program (link-time optimisation), so that every configure (the default,
# tools/test.sh, tools/demo.sh) makes the same small program. Its objects hold the compiler's
# intermediate code for that beside their ordinary code, which every other program of this build
# (the tests, SETUPCHK.EXE) links as usual, without the linker plugin.
add_link_options($<$<NOT:$<CONFIG:Debug>>:-fno-use-linker-plugin>)
set(SETUP_FREESTANDING_FLAGS
    -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-stack-protector
    -fno-threadsafe-statics -fno-tree-loop-distribute-patterns -mno-stack-arg-probe
    ${SETUP_CPU_FLAGS} $<$<NOT:$<CONFIG:Debug>>:-Oz -flto -ffat-lto-objects>)
target_compile_options(setup_portable PRIVATE ${SETUP_FREESTANDING_FLAGS})

# The Win32 side of the program, everything but the entry point; static too, so that a test program
# links only what it calls.
add_library(setup_win32 STATIC)
target_include_directories(setup_win32 PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(setup_win32 PRIVATE -Wall -Wextra ${SETUP_FREESTANDING_FLAGS})
# windows.h is most of what each of these files costs to compile: it is read once.
target_precompile_headers(setup_win32 PRIVATE <windows.h>)
target_link_libraries(setup_win32 PUBLIC setup_portable)

# The resource scripts take their ids from src/base/resource_ids.h.
set(resource_ids ${CMAKE_SOURCE_DIR}/src/base/resource_ids.h)
add_library(setup_resources OBJECT ${CMAKE_SOURCE_DIR}/res/setup.rc)
target_include_directories(setup_resources PRIVATE ${CMAKE_SOURCE_DIR}/src)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/setup.rc PROPERTIES
    OBJECT_DEPENDS "${resource_ids};${CMAKE_SOURCE_DIR}/res/strings.rc;${CMAKE_SOURCE_DIR}/res/common_strings.rc;${CMAKE_SOURCE_DIR}/res/pages.rc;${CMAKE_SOURCE_DIR}/res/browse.rc;${CMAKE_SOURCE_DIR}/res/disk.rc;${CMAKE_SOURCE_DIR}/res/setup-side.bmp;${CMAKE_SOURCE_DIR}/res/gamepad.ico;${CMAKE_SOURCE_DIR}/res/disk.ico;${CMAKE_SOURCE_DIR}/res/done.ico")

# lz32 comes first: MinGW's kernel32 import library also names the LZ functions (newer Windows
# keeps them there), but Windows 95/98 export them only from LZ32.DLL.
# version reads the version resources of the files that the setup replaces.
set(SETUP_SYSTEM_LIBRARIES lz32 kernel32 user32 gdi32 comdlg32 advapi32 version)

# A program of the package for Windows 95/98 (SETUP.EXE, UNINSTAL.EXE): no runtime, its own entry
# point, subsystem 4.0, no relocations, and the system DLLs only.
function(setup_freestanding_program target output_name entry resources)
  string(REPLACE "%" ${entry} entry_symbol ${SETUP_ENTRY_DECORATION})
  add_executable(${target} WIN32 ${ARGN} ${CMAKE_SOURCE_DIR}/src/base/freestanding.cpp)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output_name} SUFFIX .EXE)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(${target} PRIVATE -Wall -Wextra ${SETUP_FREESTANDING_FLAGS})
  target_link_libraries(${target} PRIVATE setup_win32 setup_portable ${resources})
  target_link_options(${target} PRIVATE
      ${SETUP_FREESTANDING_FLAGS} $<$<NOT:$<CONFIG:Debug>>:-fuse-linker-plugin>
      -nostdlib -s
      -Wl,--entry=${entry_symbol}
      -Wl,--subsystem,windows:4.0
      -Wl,--major-os-version,4 -Wl,--minor-os-version,0
      -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
      -Wl,--disable-dynamicbase -Wl,--disable-nxcompat -Wl,--disable-reloc-section
      -Wl,--gc-sections)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    # Four sections instead of seven: less padding, and the zero-filled state takes no room.
    set(linker_script ${CMAKE_SOURCE_DIR}/cmake/setup-exe.ld)
    target_link_options(${target} PRIVATE -Wl,-T,${linker_script})
    set_target_properties(${target} PROPERTIES LINK_DEPENDS ${linker_script})
  endif()
  # libgcc last: it supplies 64-bit division helpers should the compiler need them.
  target_link_libraries(${target} PRIVATE ${SETUP_SYSTEM_LIBRARIES} gcc)
endfunction()
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/base/freestanding.cpp PROPERTIES
    COMPILE_OPTIONS "-fno-builtin;-fno-lto")

setup_freestanding_program(setup_exe SETUP SetupEntry setup_resources
    ${CMAKE_SOURCE_DIR}/src/setup/entry.cpp)

add_library(uninstall_resources OBJECT ${CMAKE_SOURCE_DIR}/res/uninstall.rc)
target_include_directories(uninstall_resources PRIVATE ${CMAKE_SOURCE_DIR}/src)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/uninstall.rc PROPERTIES
    OBJECT_DEPENDS "${resource_ids};${CMAKE_SOURCE_DIR}/res/common_strings.rc")
setup_freestanding_program(uninstall_exe UNINSTAL UninstallEntry
    uninstall_resources ${CMAKE_SOURCE_DIR}/src/uninstall/entry.cpp)

# The Win32 test programs need Wine able to run this build's code.
option(SETUP_WIN32_TESTS "Build the Win32 test programs and run them under Wine" ON)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # SETUP.EXE, pictures included, fits in 44 KB (a Debug build is not held to that); UNINSTAL.EXE,
  # which has no pictures, in 16 KB.
  add_test(NAME exe_format
           COMMAND ${CMAKE_SOURCE_DIR}/tools/check-exe-format.sh $<TARGET_FILE:setup_exe>
                   $<$<NOT:$<CONFIG:Debug>>:45056>)
  add_test(NAME uninstall_exe_format
           COMMAND ${CMAKE_SOURCE_DIR}/tools/check-exe-format.sh $<TARGET_FILE:uninstall_exe>
                   $<$<NOT:$<CONFIG:Debug>>:16384>)
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

set(sample_originals ${CMAKE_BINARY_DIR}/originals)
set(sample_built ${CMAKE_BINARY_DIR}/medium-built)
set(sample_floppy ${CMAKE_BINARY_DIR}/medium.img)
set(sample_medium ${CMAKE_BINARY_DIR}/medium)
file(GLOB sample_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sample/files/*)
# The originals are the sample's files and the uninstaller of this build.
add_custom_command(
    OUTPUT ${sample_medium}/SETUP.INF ${sample_floppy}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${sample_originals} ${sample_built} ${sample_medium}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/sample/files ${sample_originals}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:uninstall_exe> ${sample_originals}/UNINSTAL.EXE
    COMMAND ${setup_medium_tool} --script ${CMAKE_SOURCE_DIR}/sample/SETUP.INF
            --originals ${sample_originals} --setup $<TARGET_FILE:setup_exe>
            --out ${sample_built} --floppy ${sample_floppy}
    COMMAND ${CMAKE_SOURCE_DIR}/tools/read-floppy.sh ${sample_floppy} ${sample_medium}
    DEPENDS setup_exe uninstall_exe ${setup_medium_tool_target} ${setup_medium_tool}
            ${CMAKE_SOURCE_DIR}/sample/SETUP.INF ${sample_files}
            ${CMAKE_SOURCE_DIR}/tools/read-floppy.sh
    COMMENT "Laying out the sample medium and reading it back from its floppy image")
add_custom_target(sample_medium ALL DEPENDS ${sample_medium}/SETUP.INF)

# The sample shipped as a set of two floppies, one for each disk of its script: their images, and
# each read back into a folder of its own (disk1, disk2), the disks that the install tests put
# into drive A: in turn.
set(sample_set ${CMAKE_BINARY_DIR}/sample-set)
set(sample_set_images ${sample_set}/kestrel-1.img ${sample_set}/kestrel-2.img)
add_custom_command(
    OUTPUT ${sample_set}/disk1/SETUP.INF ${sample_set_images}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${sample_set}
    COMMAND ${setup_medium_tool} --script ${CMAKE_SOURCE_DIR}/sample/SETUP.INF
            --originals ${sample_originals} --setup $<TARGET_FILE:setup_exe>
            --out ${sample_set}/medium --floppy-set ${sample_set}/kestrel.img
    COMMAND ${CMAKE_SOURCE_DIR}/tools/read-floppy.sh ${sample_set}/kestrel-1.img
            ${sample_set}/disk1
    COMMAND ${CMAKE_SOURCE_DIR}/tools/read-floppy.sh ${sample_set}/kestrel-2.img
            ${sample_set}/disk2
    DEPENDS ${sample_medium}/SETUP.INF setup_exe
    COMMENT "Laying out the sample as a set of two floppies and reading each back")
add_custom_target(sample_set ALL DEPENDS ${sample_set}/disk1/SETUP.INF)

# The medium read back from the floppy is the medium that setup-medium laid out, byte for byte.
add_test(NAME sample_floppy_read_back COMMAND diff -r ${sample_built} ${sample_medium})
