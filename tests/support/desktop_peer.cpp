// The peer program of the desktop tests; see tests/support/peer_process.h.
#include "tests/support/peer_process.h"

int main() { return RunPeer(); }
