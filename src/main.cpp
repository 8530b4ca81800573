#include "runtime/console.h"
#include "runtime/numeric_mode.h"
#include "sim/driver.h"

int main() {
    quorvex::setNumericMode();
    quorvex::openConsole();
    const int status = quorvex::runSimulator();
    quorvex::closeConsole();
    return status;
}
