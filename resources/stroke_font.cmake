# The stroke font "STANDARDFONT": a readable description under fonts/,
# turned into its RCDATA block <build>/resources/rcdata/STANDARDFONT.bin at
# build time by a small host tool.

add_executable(korvane_stroke_font_tool tools/stroke_font_tool.cpp
               ${PROJECT_SOURCE_DIR}/framework/core/byte_codec.cpp
               ${PROJECT_SOURCE_DIR}/framework/core/state_reset.cpp)
target_include_directories(korvane_stroke_font_tool PRIVATE ${PROJECT_SOURCE_DIR})
korvane_warnings(korvane_stroke_font_tool)

set(KORVANE_STROKE_FONT_FILE ${CMAKE_BINARY_DIR}/resources/rcdata/STANDARDFONT.bin)
set(description ${CMAKE_CURRENT_SOURCE_DIR}/fonts/STANDARDFONT.font)
add_custom_command(
  OUTPUT ${KORVANE_STROKE_FONT_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources/rcdata
  COMMAND korvane_stroke_font_tool ${description} ${KORVANE_STROKE_FONT_FILE}
  DEPENDS korvane_stroke_font_tool ${description}
  COMMENT "Building stroke font STANDARDFONT"
  VERBATIM)
add_custom_target(korvane_stroke_font DEPENDS ${KORVANE_STROKE_FONT_FILE})
set_property(GLOBAL PROPERTY KORVANE_STROKE_FONT_FILE ${KORVANE_STROKE_FONT_FILE})

# korvane_stroke_font(<target> [EMBED <program>])
# Builds the font before <target> and gives it the compile definition
# KORVANE_STROKE_FONT_FILE, the built block's path. With EMBED, <target> (the
# program's korvane_resources_<program>) embeds it as the RCDATA block
# /<program>/rcdata/STANDARDFONT.bin, where platform::LoadRcData finds it.
function(korvane_stroke_font target)
  cmake_parse_arguments(ARG "" "EMBED" "" ${ARGN})
  get_property(file GLOBAL PROPERTY KORVANE_STROKE_FONT_FILE)
  get_filename_component(dir ${file} DIRECTORY)
  add_dependencies(${target} korvane_stroke_font)
  target_compile_definitions(${target} PRIVATE KORVANE_STROKE_FONT_FILE="${file}")
  if(ARG_EMBED)
    qt_add_resources(${target} korvane_stroke_font_${ARG_EMBED}
                     PREFIX "/${ARG_EMBED}/rcdata" BASE ${dir} FILES ${file})
  endif()
endfunction()
