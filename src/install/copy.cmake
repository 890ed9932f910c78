# The copy page, and the safe placement of the files it writes.
target_sources(setup_portable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/copy_progress.cpp)
if(WIN32)
  target_sources(setup_win32 PRIVATE
      ${CMAKE_CURRENT_LIST_DIR}/copy_page.cpp
      ${CMAKE_CURRENT_LIST_DIR}/file_placement.cpp)
endif()
