# The copy page, the safe placement of the files it writes, the install record that names them, and
# the use counts and versions of the files in the Windows folders.
target_sources(setup_portable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/copy_progress.cpp)
if(WIN32)
  target_sources(setup_win32 PRIVATE
      ${CMAKE_CURRENT_LIST_DIR}/copy_page.cpp
      ${CMAKE_CURRENT_LIST_DIR}/file_operations.cpp
      ${CMAKE_CURRENT_LIST_DIR}/file_placement.cpp
      ${CMAKE_CURRENT_LIST_DIR}/file_version.cpp
      ${CMAKE_CURRENT_LIST_DIR}/folder_names.cpp
      ${CMAKE_CURRENT_LIST_DIR}/leftovers.cpp
      ${CMAKE_CURRENT_LIST_DIR}/record_writer.cpp
      ${CMAKE_CURRENT_LIST_DIR}/shared_files.cpp)
endif()
