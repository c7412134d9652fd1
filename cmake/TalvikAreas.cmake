# Adds every direct subfolder of the current folder that has a CMakeLists.txt,
# in name order: tests/, bench/ and fuzz/ keep one folder per area.
function(talvik_add_area_folders)
  file(GLOB area_lists RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  list(SORT area_lists)
  foreach(area_list IN LISTS area_lists)
    get_filename_component(area ${area_list} DIRECTORY)
    add_subdirectory(${area})
  endforeach()
endfunction()
