#include "runtime/numeric_mode.h"

int main() {
    quorvex::setNumericMode();
    return 0;
}
