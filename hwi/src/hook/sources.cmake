# The global keyboard hook: a keyboard grab through the library's own X
# connection, plus the key table shared with the capturing window.
find_package(X11 REQUIRED)
list(APPEND TALVIK_HWI_SOURCES
  src/hook/CaptureWatch.cpp
  src/hook/HookClock.cpp
  src/hook/KeyboardHook.cpp
  src/hook/KeyState.cpp
  src/hook/KeyTable.cpp
  src/hook/X11KeyboardGrab.cpp
)
list(APPEND TALVIK_HWI_LIBS X11::X11)
