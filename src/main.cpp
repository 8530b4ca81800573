#include "cli/command_line.h"
#include "runtime/console.h"
#include "runtime/numeric_mode.h"
#include "sim/dialogue.h"

// Chooses the face: with no arguments the dialogue, byte for byte as it has
// always been; with any argument the command line.
int main(int argc, char** argv) {
    quorvex::setNumericMode();
    if (argc > 1)
        return quorvex::cli::runCommandLine(argc, argv);
    quorvex::openConsole();
    const int status = quorvex::runSimulator();
    quorvex::closeConsole();
    return status;
}
