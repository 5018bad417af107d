# kro_add_library(<folder> DEPS ...): the library kro_<folder> from src/<folder>.
# A folder without sources yet becomes an interface library, so the
# dependency graph is complete from the start.
function(kro_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/src/${name}/*.cpp ${CMAKE_SOURCE_DIR}/src/${name}/*.h)
  file(GLOB_RECURSE qrcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${name}/*.qrc)
  set(has_cpp FALSE)
  foreach(s ${srcs})
    if(s MATCHES "\\.cpp$")
      set(has_cpp TRUE)
    endif()
  endforeach()
  if(has_cpp)
    add_library(kro_${name} STATIC ${srcs} ${qrcs})
    target_include_directories(kro_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(kro_${name} PUBLIC ${ARG_DEPS})
    set_target_properties(kro_${name} PROPERTIES LINK_INTERFACE_MULTIPLICITY 3)
  else()
    add_library(kro_${name} INTERFACE)
    target_include_directories(kro_${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(kro_${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# Two static libraries whose objects call each other.
function(kro_link_cycle a b)
  get_target_property(ta ${a} TYPE)
  get_target_property(tb ${b} TYPE)
  if(ta STREQUAL "STATIC_LIBRARY" AND tb STREQUAL "STATIC_LIBRARY")
    target_link_libraries(${a} PUBLIC ${b})
  endif()
endfunction()
