# The floors of src/: each folder stands on one floor and includes only from its own floor and
# those below. This list is the one statement of the floors; the build runs this script (with
# cmake -P, SOURCE_DIR and STAMP set) and fails on an include that runs back up, naming it.
set(floors
    "base szdd"                  # 1: the ground: state, sizes, ids, text; the SZDD format
    "script record ui"           # 2: the script's rules, the install record, the user interface
    "registry authoring files"   # 3: the registry rules; what the disk author's tools share; what
                                 #    both programs do with files on the system
    "install checker"            # 4: the copy and the registry writers; the script checker
    "setup uninstall medium")    # 5: the programs

set(floor 0)
foreach(folders IN LISTS floors)
  math(EXPR floor "${floor} + 1")
  string(REPLACE " " ";" folders "${folders}")
  foreach(folder IN LISTS folders)
    set(floor_of_${folder} ${floor})
  endforeach()
endforeach()

file(GLOB folders LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*)
set(faults)
foreach(folder IN LISTS folders)
  if(NOT IS_DIRECTORY ${SOURCE_DIR}/src/${folder})
    continue()
  endif()
  if(NOT DEFINED floor_of_${folder})
    list(APPEND faults "src/${folder}/ stands on no floor: add it to cmake/check-floors.cmake")
    continue()
  endif()
  file(GLOB_RECURSE sources ${SOURCE_DIR}/src/${folder}/*.h ${SOURCE_DIR}/src/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"(([a-z_]+)/[^\"]*)\".*" "\\1;\\2"
             parts "${line}")
      list(GET parts 0 header)
      list(GET parts 1 included)
      file(RELATIVE_PATH name ${SOURCE_DIR} ${source})
      if(NOT DEFINED floor_of_${included})
        list(APPEND faults "${name} includes \"${header}\", which is in no folder of src/")
      elseif(floor_of_${included} GREATER floor_of_${folder})
        list(APPEND faults "${name} includes \"${header}\": an include that runs back up, \
from ${folder}/ (floor ${floor_of_${folder}}) to ${included}/ (floor ${floor_of_${included}})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "The floors of src/ do not hold:\n  ${text}")
endif()
file(WRITE ${STAMP} "")
