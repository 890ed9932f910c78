# The copy page.
target_sources(setup_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/copy_progress.cpp)
if(WIN32)
  target_sources(setup_app PRIVATE ${CMAKE_CURRENT_LIST_DIR}/copy_page.cpp)
endif()
