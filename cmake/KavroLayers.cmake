# The std-only core is built as one static library per folder of src/, a layer that may use
# only the layers below it:
#
#   kavro_add_layer(<folder> [USES <folder> ...])
#
# builds src/<folder> (without its ui/ subfolder) into kavro_<folder>. Its files see the
# headers of their own folder and of the folders after USES, and nothing else: each layer's
# include root under the build folder holds only a link to its own folder, and a layer passes
# its root on to the layers that link it. An include of a higher layer ("shell/..." from
# src/kernel) therefore does not compile. The folders after USES must be added before.
#
# kavro_core links every layer; the tests, benchmarks and the Qt library use it.
function(kavro_add_layer folder)
  cmake_parse_arguments(PARSE_ARGV 1 LAYER "" "" "USES")
  set(target kavro_${folder})
  foreach(used IN LISTS LAYER_USES)
    if(NOT TARGET kavro_${used})
      message(FATAL_ERROR "kavro_add_layer(${folder}): add the layer ${used} before the layers that use it")
    endif()
  endforeach()

  set(source_dir ${CMAKE_SOURCE_DIR}/src/${folder})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${source_dir}/*.cpp)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${source_dir}/*.h)
  list(FILTER sources EXCLUDE REGEX "^${source_dir}/ui/")
  list(FILTER headers EXCLUDE REGEX "^${source_dir}/ui/")

  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${source_dir} ${root}/${folder} SYMBOLIC)

  if(sources)
    add_library(${target} STATIC ${sources} ${headers})
    target_include_directories(${target} PUBLIC ${root})
    foreach(used IN LISTS LAYER_USES)
      target_link_libraries(${target} PUBLIC kavro_${used})
    endforeach()
  else()
    # Headers alone so far.
    add_library(${target} INTERFACE ${headers})
    target_include_directories(${target} INTERFACE ${root})
    foreach(used IN LISTS LAYER_USES)
      target_link_libraries(${target} INTERFACE kavro_${used})
    endforeach()
  endif()
  target_link_libraries(kavro_core INTERFACE ${target})
endfunction()

# Every folder of src/ must be a layer: a folder without its kavro_add_layer line would be left
# out of the build.
function(kavro_check_layers)
  file(GLOB entries LIST_DIRECTORIES true RELATIVE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/src/*)
  foreach(folder IN LISTS entries)
    if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/src/${folder} AND NOT TARGET kavro_${folder})
      message(FATAL_ERROR "src/${folder} is not a layer: add kavro_add_layer(${folder} USES ...) "
                          "to CMakeLists.txt, below the layers it uses")
    endif()
  endforeach()
endfunction()
