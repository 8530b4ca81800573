#include "serve/claim_address.h"

#include <sys/socket.h>

namespace quorvex::serve {

// SO_REUSEADDR only lets a restarted server take its port back at once, while
// connections of the one before it are still closing.
void claimAddress(socket_t socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

} // namespace quorvex::serve
