# The firmware image the program carries, and its facts for every layer.
#
# QZ7_FIRMWARE names the image; empty, the default, takes the one QZ-7-<major>_<minor>.hex that
# resources/ holds. The image's name gives the version, as the resource's name carries it; the
# program's own image check and line rule (hex/), compiled into cmake/FirmwareFacts.cpp and run
# here, pass the image and count its lines; the file gives its size and sha256. The facts go into
# one header, generated/firmware/Firmware.h (namespace Firmware), reached through the target
# qz7firmware; the image is copied to firmware.hex in the build folder, where scripts find it,
# and compiled in from there through generated/firmware/firmware.qrc. A misnamed image, or one
# that fails the check, stops the configure step.

set(QZ7_FIRMWARE "" CACHE FILEPATH
  "The firmware image to build in, named QZ-7-<major>_<minor>.hex (empty: the one in resources/)")

file(GLOB qz7Committed CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/QZ-7-*.hex)
list(LENGTH qz7Committed qz7CommittedCount)
if(QZ7_FIRMWARE)
  get_filename_component(qz7Image "${QZ7_FIRMWARE}" ABSOLUTE)
elseif(qz7CommittedCount EQUAL 1)
  set(qz7Image "${qz7Committed}")
else()
  message(FATAL_ERROR "resources/ must hold exactly one firmware image QZ-7-<major>_<minor>.hex, "
    "and holds ${qz7CommittedCount}: ${qz7Committed}\nKeep one, or name the image with -DQZ7_FIRMWARE=PATH.")
endif()

get_filename_component(qz7FirmwareName "${qz7Image}" NAME)
if(NOT qz7FirmwareName MATCHES "^QZ-7-([0-9]+)_([0-9]+)\\.hex$")
  message(FATAL_ERROR "QZ7_FIRMWARE: ${qz7Image}: the image must be named QZ-7-<major>_<minor>.hex "
    "(QZ-7-3_012.hex for version 3.012), since the program states the version its name gives")
endif()
set(qz7FirmwareVersion "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
if(NOT EXISTS "${qz7Image}" OR IS_DIRECTORY "${qz7Image}")
  message(FATAL_ERROR "QZ7_FIRMWARE: ${qz7Image}: no such file")
endif()
# Whether the image built in is the one committed, which scripts/make_firmware.py makes.
set(QZ7_FIRMWARE_COMMITTED 0)
if(qz7CommittedCount EQUAL 1)
  file(REAL_PATH "${qz7Image}" qz7ImageReal)
  file(REAL_PATH "${qz7Committed}" qz7CommittedReal)
  if(qz7ImageReal STREQUAL qz7CommittedReal)
    set(QZ7_FIRMWARE_COMMITTED 1)
  endif()
endif()

# The check runs again only when the image or the code that checks it has changed.
set(qz7FactsSources cmake/FirmwareFacts.cpp hex/ImageLines.cpp hex/HexRecord.cpp hex/TextRules.cpp)
set(qz7FactsInputs ${qz7FactsSources} hex/ImageLines.h hex/HexRecord.h hex/TextRules.h)
list(TRANSFORM qz7FactsSources PREPEND ${CMAKE_SOURCE_DIR}/)
list(TRANSFORM qz7FactsInputs PREPEND ${CMAKE_SOURCE_DIR}/)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${qz7FactsInputs})
file(SHA256 "${qz7Image}" qz7FirmwareSha256)
file(SIZE "${qz7Image}" qz7FirmwareBytes)
set(qz7FactsKey "${qz7FirmwareSha256}")
foreach(input IN LISTS qz7FactsInputs)
  file(SHA256 "${input}" hash)
  string(APPEND qz7FactsKey " ${hash}")
endforeach()
if(NOT qz7FactsKey STREQUAL "$CACHE{QZ7_FIRMWARE_CHECKED}")
  try_run(qz7FactsRun qz7FactsBuilt
    SOURCES ${qz7FactsSources}
    CMAKE_FLAGS "-DINCLUDE_DIRECTORIES=${CMAKE_SOURCE_DIR}"
    CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON
    COMPILE_OUTPUT_VARIABLE qz7FactsBuildOutput
    RUN_OUTPUT_VARIABLE qz7FactsOutput
    ARGS "${qz7Image}"
    NO_CACHE)
  if(NOT qz7FactsBuilt)
    message(FATAL_ERROR "The firmware image's check (cmake/FirmwareFacts.cpp) did not build:\n${qz7FactsBuildOutput}")
  endif()
  string(STRIP "${qz7FactsOutput}" qz7FactsOutput)
  if(NOT qz7FactsRun EQUAL 0 OR NOT qz7FactsOutput MATCHES "^lines ([0-9]+)$")
    message(FATAL_ERROR "QZ7_FIRMWARE: ${qz7Image} fails the program's image check: ${qz7FactsOutput}\n"
      "The program would refuse to erase a QZ7 with it; build with a good image.")
  endif()
  set(QZ7_FIRMWARE_LINES "${CMAKE_MATCH_1}" CACHE INTERNAL "The lines the transfer sends of the checked image")
  set(QZ7_FIRMWARE_CHECKED "${qz7FactsKey}" CACHE INTERNAL "The image and check sources QZ7_FIRMWARE_LINES is for")
endif()
message(STATUS "Firmware: ${qz7FirmwareName}, version ${qz7FirmwareVersion}, ${QZ7_FIRMWARE_LINES} lines, "
  "${qz7FirmwareBytes} bytes, sha256 ${qz7FirmwareSha256}")

set(QZ7_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(QZ7_FIRMWARE_FILE ${CMAKE_BINARY_DIR}/firmware.hex)
configure_file("${qz7Image}" ${QZ7_FIRMWARE_FILE} COPYONLY)
file(CONFIGURE OUTPUT ${QZ7_GENERATED_DIR}/firmware/Firmware.h @ONLY CONTENT [[
// Generated when the build is configured, from the image it compiles in (cmake/Firmware.cmake):
// the one place the firmware's version and figures are spelled. Not to be edited.
#pragma once

namespace Firmware {
inline constexpr const char* Version = "@qz7FirmwareVersion@";  // from the image's name
inline constexpr const char* Name = "@qz7FirmwareName@";
inline constexpr const char* Resource = ":/@qz7FirmwareName@";  // where the program reads it
inline constexpr int Lines = @QZ7_FIRMWARE_LINES@;  // the lines the transfer sends (TakeImageLine)
inline constexpr long long Bytes = @qz7FirmwareBytes@;  // the image's length, which the transfer prints
inline constexpr const char* Sha256 = "@qz7FirmwareSha256@";  // of the image, in hex
}  // namespace Firmware
]])
set(QZ7_FIRMWARE_QRC ${QZ7_GENERATED_DIR}/firmware/firmware.qrc)
file(CONFIGURE OUTPUT ${QZ7_FIRMWARE_QRC} @ONLY CONTENT [[
<RCC>
  <qresource prefix="/">
    <file alias="@qz7FirmwareName@">@QZ7_FIRMWARE_FILE@</file>
  </qresource>
</RCC>
]])

add_library(qz7firmware INTERFACE)
target_include_directories(qz7firmware INTERFACE ${QZ7_GENERATED_DIR})
