# SDL2, the platform's windows and input, as the target abonix_sdl2.
#
# By default a lean static SDL2 is built from Debian's source of the version
# Debian 12 ships (2.26.5), with the X11 video driver alone: Debian's shared
# libSDL2 brings 50 libraries (sound servers and codecs, Wayland, D-Bus,
# systemd, ...) that the program never calls, and loading them took about
# 5 ms of every start. The lean build loads the X libraries only.
#
# The source archive is downloaded once per build folder and checked against
# its SHA-256; ABONIX_SDL_ARCHIVE names one at hand instead. Where it cannot be
# had, or with ABONIX_SYSTEM_SDL=ON, the system's shared libSDL2 is used.
#
# Included before the project's warning and sanitizer options, which are for
# our code only.
option(ABONIX_SYSTEM_SDL "Link the system's shared libSDL2 instead of building a lean static one" OFF)
set(ABONIX_SDL_ARCHIVE "" CACHE FILEPATH "The SDL2 2.26.5 source archive, when it is at hand (otherwise downloaded)")

set(_sdl_url "http://deb.debian.org/debian/pool/main/libs/libsdl2/libsdl2_2.26.5+dfsg.orig.tar.gz")
set(_sdl_sha256 "b3f2c822151804125d08db94c65852f711c2e5df2145a59da120748dc32eb9c3")
set(_sdl_dir "${CMAKE_BINARY_DIR}/_deps/sdl2")
set(_sdl_source "${_sdl_dir}/src/SDL2-2.26.5")

function(_abonix_fetch_sdl result)
  set(${result} FALSE PARENT_SCOPE)
  if(EXISTS "${_sdl_source}/CMakeLists.txt")
    set(${result} TRUE PARENT_SCOPE)
    return()
  endif()
  set(archive "${ABONIX_SDL_ARCHIVE}")
  if(NOT archive)
    set(archive "${_sdl_dir}/SDL2-2.26.5.tar.gz")
    if(NOT EXISTS "${archive}")
      message(STATUS "Downloading the SDL2 source: ${_sdl_url}")
      file(DOWNLOAD "${_sdl_url}" "${archive}.part" STATUS status TIMEOUT 120)
      list(GET status 0 code)
      if(NOT code EQUAL 0)
        list(GET status 1 why)
        message(WARNING "The SDL2 source could not be downloaded (${why}); the system's libSDL2 is used.")
        file(REMOVE "${archive}.part")
        return()
      endif()
      file(RENAME "${archive}.part" "${archive}")
    endif()
  endif()
  file(SHA256 "${archive}" sha)
  if(NOT sha STREQUAL _sdl_sha256)
    message(WARNING "${archive} is not the SDL2 2.26.5 source (SHA-256 ${sha}); the system's libSDL2 is used.")
    if(NOT ABONIX_SDL_ARCHIVE)
      file(REMOVE "${archive}")
    endif()
    return()
  endif()
  file(ARCHIVE_EXTRACT INPUT "${archive}" DESTINATION "${_sdl_dir}/src")
  if(EXISTS "${_sdl_source}/CMakeLists.txt")
    set(${result} TRUE PARENT_SCOPE)
  endif()
endfunction()

add_library(abonix_sdl2 INTERFACE)
set(_sdl_lean FALSE)
if(NOT ABONIX_SYSTEM_SDL)
  _abonix_fetch_sdl(_sdl_lean)
endif()

if(_sdl_lean)
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
