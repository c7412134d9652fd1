// talvikctl: the Talvik keyboard from the command line.

#include "CtlApp.h"
#include "CtlText.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    talvik::ctl::CCtlContext context;
    context.language = talvik::ctl::languageOfProcess();
    const char* term = std::getenv("TERM");
    context.progressBar =
        ::isatty(STDERR_FILENO) == 1 && !(term != nullptr && std::strcmp(term, "dumb") == 0);
    return talvik::ctl::runTalvikctl(argc, argv, context);
}
