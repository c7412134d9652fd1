list(APPEND TALVIK_HWI_SOURCES
  src/sim/SimulatedKeyboard.cpp
)
