// libTalvikHWI.so is made of talvik_hwi_core; this unit only gives the target a source.
