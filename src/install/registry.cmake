# Registry section and joystick/uninstall registration.
# Parsing, the section walk and the joystick block need no Windows; the registry calls do.
target_sources(setup_portable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/registry_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_section_scan.cpp
    ${CMAKE_CURRENT_LIST_DIR}/joystick_config.cpp)
if(WIN32)
  target_sources(setup_win32 PRIVATE
      ${CMAKE_CURRENT_LIST_DIR}/registry_write.cpp
      ${CMAKE_CURRENT_LIST_DIR}/registry_section.cpp
      ${CMAKE_CURRENT_LIST_DIR}/joystick_registration.cpp)
endif()
