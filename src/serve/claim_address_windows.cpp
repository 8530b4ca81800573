#include "serve/claim_address.h"

#include <winsock2.h>

namespace quorvex::serve {

// Windows' SO_REUSEADDR would let another program take the port over, so the
// address is claimed exclusively.
void claimAddress(socket_t socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes);
}

} // namespace quorvex::serve
