# The shape templates "LSTMPL" (the default loudspeaker symbol) and
# "XYZ_CROSS" (the axis cross): readable descriptions under shapes/, turned
# into their RCDATA blocks <build>/resources/rcdata/<NAME>.bin at build time
# by a small host tool.

add_executable(korvane_shape_template_tool tools/shape_template_tool.cpp
               ${PROJECT_SOURCE_DIR}/framework/core/byte_codec.cpp
               ${PROJECT_SOURCE_DIR}/framework/core/state_reset.cpp)
target_include_directories(korvane_shape_template_tool PRIVATE ${PROJECT_SOURCE_DIR})
korvane_warnings(korvane_shape_template_tool)

set(KORVANE_SHAPE_TEMPLATE_DIR ${CMAKE_BINARY_DIR}/resources/rcdata)
set(shape_template_files)
foreach(name LSTMPL XYZ_CROSS)
  set(description ${CMAKE_CURRENT_SOURCE_DIR}/shapes/${name}.shape)
  set(block ${KORVANE_SHAPE_TEMPLATE_DIR}/${name}.bin)
  add_custom_command(
    OUTPUT ${block}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVANE_SHAPE_TEMPLATE_DIR}
    COMMAND korvane_shape_template_tool ${description} ${block}
    DEPENDS korvane_shape_template_tool ${description}
    COMMENT "Building shape template ${name}"
    VERBATIM)
  list(APPEND shape_template_files ${block})
endforeach()
add_custom_target(korvane_shape_templates DEPENDS ${shape_template_files})
set_property(GLOBAL PROPERTY KORVANE_SHAPE_TEMPLATE_DIR ${KORVANE_SHAPE_TEMPLATE_DIR})
set_property(GLOBAL PROPERTY KORVANE_SHAPE_TEMPLATE_FILES ${shape_template_files})

# korvane_shape_templates(<target> [EMBED <program>] [FILES_VAR <var>])
# Builds the templates before <target> and gives it the compile definition
# KORVANE_SHAPE_TEMPLATE_DIR, the folder that holds <NAME>.bin. With EMBED,
# <target> (the program's korvane_resources_<program>) embeds them as its
# RCDATA blocks /<program>/rcdata/LSTMPL.bin and XYZ_CROSS.bin, where
# platform::LoadRcData finds them. With FILES_VAR, <var> receives the files.
function(korvane_shape_templates target)
  cmake_parse_arguments(ARG "" "EMBED;FILES_VAR" "" ${ARGN})
  get_property(dir GLOBAL PROPERTY KORVANE_SHAPE_TEMPLATE_DIR)
  get_property(files GLOBAL PROPERTY KORVANE_SHAPE_TEMPLATE_FILES)
  add_dependencies(${target} korvane_shape_templates)
  target_compile_definitions(${target} PRIVATE KORVANE_SHAPE_TEMPLATE_DIR="${dir}")
  if(ARG_EMBED)
    qt_add_resources(${target} korvane_shape_templates_${ARG_EMBED}
                     PREFIX "/${ARG_EMBED}/rcdata" BASE ${dir} FILES ${files})
  endif()
  if(ARG_FILES_VAR)
    set(${ARG_FILES_VAR} ${files} PARENT_SCOPE)
  endif()
endfunction()
