# The sound libraries are opened by name at run time (dlopen, so the program starts without
# them), which Debian's dependency tools cannot see. The names are read here from the very
# libraries this build is made against and handed to the code in RuntimeLibraries.h; a library
# whose name cannot be read, or two development packages that disagree about FluidSynth's,
# stop the configure instead of making a game that is silently mute.
# dlopened-libraries.txt lists the library files, for the package's dependencies.

# Reads a library's dynamic section: its SONAME and the libraries it NEEDs.
function(zelvano_dynamic_section lib soname_var needed_var)
  execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${lib} OUTPUT_VARIABLE dump RESULT_VARIABLE rc ERROR_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot read the dynamic section of ${lib} with '${CMAKE_OBJDUMP} -p'")
  endif()
  string(REGEX MATCH "SONAME +([^ \n]+)" _ "${dump}")
  set(${soname_var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  string(REGEX MATCHALL "NEEDED +[^ \n]+" needed "${dump}")
  list(TRANSFORM needed REPLACE "NEEDED +" "")
  set(${needed_var} "${needed}" PARENT_SCOPE)
endfunction()

if(NOT CMAKE_OBJDUMP)
  message(FATAL_ERROR "objdump (binutils) is needed to read the sound libraries' names")
endif()
find_library(ZELVANO_MIXER_LIBRARY NAMES SDL2_mixer HINTS ${SDL2MIXER_LIBRARY_DIRS} NO_CACHE REQUIRED)
zelvano_dynamic_section(${ZELVANO_MIXER_LIBRARY} ZELVANO_MIXER_SONAME mixer_needed)
if(NOT ZELVANO_MIXER_SONAME MATCHES "^libSDL2_mixer")
  message(FATAL_ERROR "${ZELVANO_MIXER_LIBRARY} has no SDL2_mixer SONAME ('${ZELVANO_MIXER_SONAME}')")
endif()

# FluidSynth comes with the mixer, which links it; the program only looks it up among the
# loaded libraries, so the name must be the one the mixer needs.
list(FILTER mixer_needed INCLUDE REGEX "^libfluidsynth\\.so")
set(ZELVANO_FLUIDSYNTH_SONAME "${mixer_needed}")
pkg_check_modules(ZELVANO_FLUIDSYNTH_DEV QUIET fluidsynth)
if(ZELVANO_FLUIDSYNTH_DEV_FOUND)
  find_library(fluid_library NAMES fluidsynth HINTS ${ZELVANO_FLUIDSYNTH_DEV_LIBRARY_DIRS} NO_CACHE REQUIRED)
  zelvano_dynamic_section(${fluid_library} fluid_soname _)
  if(ZELVANO_FLUIDSYNTH_SONAME AND NOT ZELVANO_FLUIDSYNTH_SONAME STREQUAL fluid_soname)
    message(FATAL_ERROR "the mixer needs ${ZELVANO_FLUIDSYNTH_SONAME}, the FluidSynth development "
                        "files are for ${fluid_soname}")
  endif()
  set(ZELVANO_FLUIDSYNTH_SONAME "${fluid_soname}")
endif()
if(NOT ZELVANO_FLUIDSYNTH_SONAME)
  message(FATAL_ERROR "${ZELVANO_MIXER_LIBRARY} does not link FluidSynth, and no FluidSynth "
                      "development files tell its name")
endif()

get_filename_component(mixer_dir ${ZELVANO_MIXER_LIBRARY} DIRECTORY)
foreach(soname ${ZELVANO_MIXER_SONAME} ${ZELVANO_FLUIDSYNTH_SONAME})
  if(NOT EXISTS ${mixer_dir}/${soname})
    message(FATAL_ERROR "no ${soname} beside ${ZELVANO_MIXER_LIBRARY}")
  endif()
endforeach()
message(STATUS "Sound libraries opened at run time: ${ZELVANO_MIXER_SONAME}, ${ZELVANO_FLUIDSYNTH_SONAME}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/RuntimeLibraries.h.in ${CMAKE_CURRENT_BINARY_DIR}/media/RuntimeLibraries.h @ONLY)
file(WRITE ${CMAKE_BINARY_DIR}/dlopened-libraries.txt
  "${mixer_dir}/${ZELVANO_MIXER_SONAME}\n${mixer_dir}/${ZELVANO_FLUIDSYNTH_SONAME}\n")
