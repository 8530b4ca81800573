#pragma once

#include <httplib.h>

namespace quorvex::serve {

// The listening socket's address is this server's alone: a second server
// started on a port in use must fail to bind rather than share it (httplib's
// default asks for SO_REUSEPORT, which lets both listen). Called on the socket
// before it is bound.
void claimAddress(socket_t socket);

} // namespace quorvex::serve
