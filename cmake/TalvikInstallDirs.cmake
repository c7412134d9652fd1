# Where `cmake --install` puts things, relative to the prefix. The program
# finds its data and its library from its own folder through these relative
# paths, so an installed tree works under any prefix and can be moved.
include(GNUInstallDirs)

set(TALVIK_APP_ID "org.talvik.Talvik" CACHE STRING "Reverse-DNS id of the desktop entry and AppStream component")
set(TALVIK_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/talvik")
# Private: only Talvik (and tools of this project) link the library, so it
# stays out of the linker's search path.
set(TALVIK_INSTALL_LIBDIR "${CMAKE_INSTALL_LIBDIR}/talvik")
# udev reads /usr/lib/udev/rules.d and /usr/local/lib/udev/rules.d; for other
# prefixes the README says to copy the rule to /etc/udev/rules.d.
set(TALVIK_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "udev rules folder, relative to the prefix")

# Relative path from the program's folder to `dir` (both below the prefix).
function(talvik_path_from_bindir out dir)
  file(RELATIVE_PATH relative "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${dir}")
  set(${out} "${relative}" PARENT_SCOPE)
endfunction()

talvik_path_from_bindir(TALVIK_DATA_FROM_BIN "${TALVIK_INSTALL_DATADIR}")
talvik_path_from_bindir(TALVIK_LIB_FROM_BIN "${TALVIK_INSTALL_LIBDIR}")
talvik_path_from_bindir(TALVIK_UDEV_FROM_BIN "${TALVIK_UDEV_RULES_DIR}")
