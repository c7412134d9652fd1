# talvik_check_qt_free(DIRS <folder>...)
#
# Fails the configure when a target defined in one of the folders (or in the
# folders they add) reaches a Qt target through its links. The link lines are
# the boundary: an include of a Qt header without a link fails to build in the
# core preset, a link does not fail anywhere else, so it is caught here.
#
# The walk follows LINK_LIBRARIES and INTERFACE_LINK_LIBRARIES through every
# target it meets, imported ones included, and looks inside the generator
# expressions a link item is usually wrapped in ($<LINK_ONLY:x>,
# $<LINK_LIBRARY:WHOLE_ARCHIVE,x>, $<BUILD_INTERFACE:x>, $<$<CONFIG:Debug>:x>).
# A name counts as Qt whether or not Qt was found: Qt6::Core, Qt::Core.

# The link items a property value names, generator expressions unwrapped.
function(_talvik_link_items out value)
  set(items "")
  foreach(item IN LISTS value)
    # Targets linked from another folder carry that folder's marker.
    if(item MATCHES "^::@")
      continue()
    endif()
    # Peel one wrapper at a time: $<NAME:payload> or $<$<cond>:payload>; what
    # stays after the last unwrapping colon is the item, and $<LINK_LIBRARY:f,a,b>
    # and $<LINK_GROUP:f,a,b> carry several after the feature name.
    while(item MATCHES "^\\$<(.*)>$")
      set(inner "${CMAKE_MATCH_1}")
      if(inner MATCHES "^(LINK_LIBRARY|LINK_GROUP):[^,]*,(.*)$")
        string(REPLACE "," ";" item "${CMAKE_MATCH_2}")
        break()
      # Separate tests: if() evaluates both sides of an OR, and the failing
      # match clears what the other one found.
      elseif(inner MATCHES "^\\$<.*>:(.*)$")
        set(item "${CMAKE_MATCH_1}")
      elseif(inner MATCHES "^[A-Za-z_]+:(.*)$")
        set(item "${CMAKE_MATCH_1}")
      else()
        set(item "")
      endif()
    endwhile()
    foreach(name IN LISTS item)
      if(name AND NOT name MATCHES "^\\$<")
        list(APPEND items "${name}")
      endif()
    endforeach()
  endforeach()
  set(${out} "${items}" PARENT_SCOPE)
endfunction()

# The targets the links of `target` reach directly.
function(_talvik_direct_links out target)
  get_target_property(aliased ${target} ALIASED_TARGET)
  if(aliased)
    set(${out} "${aliased}" PARENT_SCOPE)
    return()
  endif()
  set(props INTERFACE_LINK_LIBRARIES)
  get_target_property(imported ${target} IMPORTED)
  if(NOT imported)
    list(APPEND props LINK_LIBRARIES)
  endif()
  set(links "")
  foreach(prop IN LISTS props)
    get_target_property(value ${target} ${prop})
    if(value)
      _talvik_link_items(items "${value}")
      list(APPEND links ${items})
    endif()
  endforeach()
  set(${out} "${links}" PARENT_SCOPE)
endfunction()

# The first Qt target the link closure of `target` reaches, as the chain of
# links that leads to it ("a -> b -> Qt6::Core"), or "" when there is none.
function(talvik_qt_link_chain out target)
  set(seen ${target})
  set(via "-")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue node)
    _talvik_direct_links(links ${node})
    foreach(link IN LISTS links)
      if(link IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${link})
      list(APPEND via ${node})
      if(link MATCHES "^Qt[0-9]*::")
        set(chain ${link})
        set(step ${link})
        while(NOT step STREQUAL target)
          list(FIND seen ${step} index)
          list(GET via ${index} step)
          list(PREPEND chain ${step})
        endwhile()
        list(JOIN chain " -> " text)
        set(${out} "${text}" PARENT_SCOPE)
        return()
      endif()
      if(TARGET ${link})
        list(APPEND queue ${link})
      endif()
    endforeach()
  endwhile()
  set(${out} "" PARENT_SCOPE)
endfunction()

# Every target a folder defines, with those of the folders it adds.
function(_talvik_folder_targets out dir)
  get_directory_property(targets DIRECTORY ${dir} BUILDSYSTEM_TARGETS)
  get_directory_property(subdirs DIRECTORY ${dir} SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    _talvik_folder_targets(more ${subdir})
    list(APPEND targets ${more})
  endforeach()
  set(${out} "${targets}" PARENT_SCOPE)
endfunction()

function(talvik_check_qt_free)
  cmake_parse_arguments(C "" "" "DIRS" ${ARGN})
  set(failures "")
  get_directory_property(added DIRECTORY ${PROJECT_SOURCE_DIR} SUBDIRECTORIES)
  foreach(dir IN LISTS C_DIRS)
    if(NOT IS_ABSOLUTE ${dir})
      set(dir ${PROJECT_SOURCE_DIR}/${dir})
    endif()
    # A folder that is not part of this build has nothing to check.
    if(NOT dir IN_LIST added)
      continue()
    endif()
    _talvik_folder_targets(targets ${dir})
    foreach(target IN LISTS targets)
      talvik_qt_link_chain(chain ${target})
      if(chain)
        list(APPEND failures "  ${target} reaches a Qt target: ${chain}")
      endif()
    endforeach()
  endforeach()
  if(failures)
    list(JOIN failures "\n" text)
    message(FATAL_ERROR "These targets must build without Qt, but link it:\n${text}\n"
                        "Move what needs Qt into a folder of the program, or drop the link.")
  endif()
endfunction()
