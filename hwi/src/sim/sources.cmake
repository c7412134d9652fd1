list(APPEND TALVIK_HWI_SOURCES
  src/sim/Faults.cpp
  src/sim/KeyboardEngine.cpp
  src/sim/KeyboardMemory.cpp
  src/sim/SimulatedKeyboard.cpp
  src/sim/SimulatorCore.cpp
  src/sim/SimulatorLink.cpp
  src/sim/StateFile.cpp
)
