# The copy page.
if(WIN32)
  target_sources(setup_app PRIVATE ${CMAKE_CURRENT_LIST_DIR}/pending_copy_page.cpp)
endif()
