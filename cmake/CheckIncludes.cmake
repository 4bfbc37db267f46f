# Run by the build (target kavro_check_includes): fails when a source file includes a path
# with "../". Such an include reaches past the include roots of kavro_add_layer, so a layer
# could use a higher one without the build noticing.
#
#   cmake -DROOT=<source folder> -P CheckIncludes.cmake
file(GLOB_RECURSE files ${ROOT}/src/*.cpp ${ROOT}/src/*.h ${ROOT}/app/*.cpp ${ROOT}/app/*.h
     ${ROOT}/tests/*.cpp ${ROOT}/tests/*.h ${ROOT}/bench/*.cpp ${ROOT}/bench/*.h
     ${ROOT}/udov/*.cpp ${ROOT}/udov/*.h)
set(found "")
foreach(file IN LISTS files)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*\\.\\./")
  foreach(line IN LISTS lines)
    file(RELATIVE_PATH name ${ROOT} ${file})
    string(STRIP "${line}" line)
    string(APPEND found "\n  ${name}: ${line}")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "Includes with \"../\" bypass the layers; include from the layer's root "
                      "(\"config/KDConfig.h\") instead:${found}")
endif()
