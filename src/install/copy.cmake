# The copy page.
target_sources(setup_portable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/copy_progress.cpp)
if(WIN32)
  target_sources(setup_win32 PRIVATE ${CMAKE_CURRENT_LIST_DIR}/copy_page.cpp)
endif()
