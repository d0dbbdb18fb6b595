# SDL2, the platform's windows and input, as the target abonix_sdl2.
#
# By default a lean static SDL2 is built from Debian's source of the version
# Debian 12 ships (2.26.5), with the X11 video driver alone: Debian's shared
# libSDL2 brings 50 libraries (sound servers and codecs, Wayland, D-Bus,
# systemd, ...) that the program never calls, and loading them took about
# 5 ms of every start. The lean build loads the X libraries only.
#
# The source archive is fetched once per build folder by the package client,
# as `apt-get source` of Debian's libsdl2, from the sources this machine's apt
# already uses, and checked against its SHA-256; ABONIX_SDL_ARCHIVE names one
# at hand instead. The system's apt configuration and state are only read:
# the source list, the package lists and the cache are private to the build
# folder. A fetch that fails or an archive that is not the expected one stops
# the configuration; ABONIX_SYSTEM_SDL=ON links the system's shared libSDL2.
#
# Included before the project's warning and sanitizer options, which are for
# our code only.
option(ABONIX_SYSTEM_SDL "Link the system's shared libSDL2 instead of building a lean static one" OFF)
set(ABONIX_SDL_ARCHIVE "" CACHE FILEPATH "The SDL2 2.26.5 source archive, when it is at hand (otherwise fetched with apt-get source)")

set(_sdl_package libsdl2)
set(_sdl_archive_name "libsdl2_2.26.5+dfsg.orig.tar.gz")
set(_sdl_sha256 "b3f2c822151804125d08db94c65852f711c2e5df2145a59da120748dc32eb9c3")
set(_sdl_dir "${CMAKE_BINARY_DIR}/_deps/sdl2")
set(_sdl_source "${_sdl_dir}/src/SDL2-2.26.5")

# The system's binary package sources as source package sources, in `dir`:
# deb822 files get `Types: deb-src`, one-line lists their `deb` lines as
# `deb-src`.
function(_abonix_source_list dir)
  file(REMOVE_RECURSE "${dir}")
  file(MAKE_DIRECTORY "${dir}")
  file(GLOB deb822 "/etc/apt/sources.list.d/*.sources")
  file(GLOB one_line "/etc/apt/sources.list.d/*.list")
  if(EXISTS "/etc/apt/sources.list")
    list(APPEND one_line "/etc/apt/sources.list")
  endif()
  set(n 0)
  foreach(src IN LISTS deb822 one_line)
    # A line break before the first line lets every pattern start at one.
    file(READ "${src}" text)
    string(PREPEND text "\n")
    if(src MATCHES "\\.sources$")
      string(REGEX REPLACE "\n[ \t]*Types:[^\n]*" "\nTypes: deb-src" text "${text}")
      set(ending sources)
    else()
      string(REGEX REPLACE "\n[ \t]*deb-src[ \t][^\n]*" "\n" text "${text}")
      string(REGEX REPLACE "\n[ \t]*deb([ \t])" "\ndeb-src\\1" text "${text}")
      set(ending list)
    endif()
    math(EXPR n "${n} + 1")
    file(WRITE "${dir}/${n}.${ending}" "${text}")
  endforeach()
  if(n EQUAL 0)
    message(FATAL_ERROR "This machine has no apt sources (/etc/apt/sources.list.d/*.sources, /etc/apt/sources.list) "
                        "to fetch the SDL2 source from. Give -DABONIX_SDL_ARCHIVE=FILE (${_sdl_archive_name}) "
                        "or -DABONIX_SYSTEM_SDL=ON.")
  endif()
endfunction()

# Fetches Debian's SDL2 source archive with apt-get into `archive`.
function(_abonix_apt_source archive)
  find_program(_abonix_apt_get apt-get)
  if(NOT _abonix_apt_get)
    message(FATAL_ERROR "apt-get, which fetches the SDL2 source, is not on this machine. "
                        "Give -DABONIX_SDL_ARCHIVE=FILE (${_sdl_archive_name}) or -DABONIX_SYSTEM_SDL=ON.")
  endif()
  set(apt "${_sdl_dir}/apt")
  _abonix_source_list("${apt}/sources")
  file(REMOVE_RECURSE "${apt}/lists" "${apt}/cache" "${apt}/fetch")
  file(MAKE_DIRECTORY "${apt}/lists/partial" "${apt}/cache/archives/partial" "${apt}/fetch")
  set(options -o Dir::Etc::sourcelist=/dev/null -o "Dir::Etc::sourceparts=${apt}/sources"
              -o "Dir::State::Lists=${apt}/lists" -o "Dir::Cache=${apt}/cache")
  message(STATUS "Fetching the SDL2 source with apt-get source ${_sdl_package}")
  foreach(step "update" "source;--download-only;${_sdl_package}")
    execute_process(COMMAND "${_abonix_apt_get}" -q ${options} ${step}
                    WORKING_DIRECTORY "${apt}/fetch" RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT code EQUAL 0)
      list(JOIN step " " shown)
      message(FATAL_ERROR "apt-get ${shown} failed while fetching the SDL2 source (exit status ${code}):\n${out}\n"
                          "Give -DABONIX_SDL_ARCHIVE=FILE (${_sdl_archive_name}) or -DABONIX_SYSTEM_SDL=ON.")
    endif()
  endforeach()
  if(NOT EXISTS "${apt}/fetch/${_sdl_archive_name}")
    message(FATAL_ERROR "apt-get source ${_sdl_package} did not bring ${_sdl_archive_name} "
                        "(the sources offer another version of SDL2). "
                        "Give -DABONIX_SDL_ARCHIVE=FILE or -DABONIX_SYSTEM_SDL=ON.")
  endif()
  file(RENAME "${apt}/fetch/${_sdl_archive_name}" "${archive}")
  file(REMOVE_RECURSE "${apt}")
endfunction()

function(_abonix_fetch_sdl)
  if(EXISTS "${_sdl_source}/CMakeLists.txt")
    return()
  endif()
  set(archive "${ABONIX_SDL_ARCHIVE}")
  if(NOT archive)
    set(archive "${_sdl_dir}/${_sdl_archive_name}")
    if(NOT EXISTS "${archive}")
      _abonix_apt_source("${archive}")
    endif()
  elseif(NOT EXISTS "${archive}")
    message(FATAL_ERROR "ABONIX_SDL_ARCHIVE names ${archive}, which does not exist.")
  endif()
  file(SHA256 "${archive}" sha)
  if(NOT sha STREQUAL _sdl_sha256)
    if(NOT ABONIX_SDL_ARCHIVE)
      # Fetched anew by the next configuration.
      file(REMOVE "${archive}")
    endif()
    message(FATAL_ERROR "${archive} is not the SDL2 2.26.5 source: its SHA-256 is ${sha}, "
                        "expected ${_sdl_sha256}.")
  endif()
  file(ARCHIVE_EXTRACT INPUT "${archive}" DESTINATION "${_sdl_dir}/src")
  if(NOT EXISTS "${_sdl_source}/CMakeLists.txt")
    message(FATAL_ERROR "${archive} holds no SDL2-2.26.5/CMakeLists.txt.")
  endif()
endfunction()

add_library(abonix_sdl2 INTERFACE)
if(NOT ABONIX_SYSTEM_SDL)
  _abonix_fetch_sdl()
  # Video through X11 (linked, not loaded at run time) and what it stands on;
  # no sound, game controllers, sensors, GL, Wayland, console video or D-Bus.
  foreach(off SDL_SHARED SDL_TEST SDL_AUDIO SDL_JOYSTICK SDL_HAPTIC SDL_HIDAPI SDL_SENSOR SDL_POWER SDL_RENDER
              SDL_DBUS SDL_IBUS SDL_OPENGL SDL_OPENGLES SDL_VULKAN SDL_WAYLAND SDL_KMSDRM SDL_RPI SDL_VIVANTE
              SDL_DIRECTFB SDL_X11_SHARED SDL_X11_XDBE SDL_X11_XSCRNSAVER SDL_LIBSAMPLERATE SDL_ALSA
              SDL_PULSEAUDIO SDL_PIPEWIRE SDL_JACK SDL_SNDIO SDL_ESD SDL_ARTS SDL_NAS SDL_OSS SDL_CCACHE)
    set(${off} OFF CACHE BOOL "" FORCE)
  endforeach()
  foreach(on SDL_STATIC SDL_STATIC_PIC SDL_X11 SDL2_DISABLE_SDL2MAIN SDL2_DISABLE_INSTALL SDL2_DISABLE_UNINSTALL)
    set(${on} ON CACHE BOOL "" FORCE)
  endforeach()
  add_subdirectory("${_sdl_source}" "${_sdl_dir}/build" EXCLUDE_FROM_ALL SYSTEM)
  target_link_libraries(abonix_sdl2 INTERFACE SDL2::SDL2-static)
  message(STATUS "SDL2: the lean static build (X11 video only)")
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
  target_link_libraries(abonix_sdl2 INTERFACE PkgConfig::SDL2)
  message(STATUS "SDL2: the system's shared libSDL2")
endif()
