# The version has one source, project(... VERSION ...): from it come the resource script's version
# record (through trafimo_version.h), and the version package.sh gives the installer, its Apps &
# Features entry and the file names (through trafimo-version.txt in the build directory).
set(TRAFIMO_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(TRAFIMO_VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(TRAFIMO_VERSION_PATCH 0)
set(TRAFIMO_VERSION_TWEAK 0)
if(NOT PROJECT_VERSION_PATCH STREQUAL "")
  set(TRAFIMO_VERSION_PATCH ${PROJECT_VERSION_PATCH})
endif()
if(NOT PROJECT_VERSION_TWEAK STREQUAL "")
  set(TRAFIMO_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
endif()
set(TRAFIMO_VERSION
    ${TRAFIMO_VERSION_MAJOR}.${TRAFIMO_VERSION_MINOR}.${TRAFIMO_VERSION_PATCH}.${TRAFIMO_VERSION_TWEAK})

# The displayed form writes the minor number with two digits: 1.3.0.0 shows as "1.03.0.0".
string(REGEX REPLACE "^([0-9])$" "0\\1" minor_two_digits ${TRAFIMO_VERSION_MINOR})
set(TRAFIMO_VERSION_TEXT
    ${TRAFIMO_VERSION_MAJOR}.${minor_two_digits}.${TRAFIMO_VERSION_PATCH}.${TRAFIMO_VERSION_TWEAK})

set(TRAFIMO_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/src/res/trafimo_version.h.in
               ${TRAFIMO_GENERATED_DIR}/trafimo_version.h @ONLY)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/trafimo-version.txt CONTENT "${TRAFIMO_VERSION}\n")
