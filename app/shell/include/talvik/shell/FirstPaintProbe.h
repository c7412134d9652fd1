#pragma once

#include <memory>

class QApplication;
class QObject;

namespace talvik::shell {

// Diagnostics for benchmarks and the run script, off unless asked for:
//   TALVIK_REPORT_FIRST_PAINT=1   print "first-paint <ms>" (since process start)
//                                 on stdout once the main window has been painted,
//                                 then "peak-resident-kb <kB>", the most memory
//                                 the process has held resident up to then (with
//                                 a screenshot, "screenshot-peak-resident-kb"
//                                 follows it, up to the screenshot)
//   TALVIK_SCREENSHOT=<file.png>  then save what the screen shows of the window
//                                 and close the program
// Keep the returned object for as long as the application runs; null when off.
std::unique_ptr<QObject> installFirstPaintProbe(QApplication& application);

} // namespace talvik::shell
