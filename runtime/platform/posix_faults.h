// Fault injection of the POSIX stand-in, for tests of the paths that real
// systems take only when something goes wrong.
#pragma once

// The n-th file read from now fails (n = 1 is the next one); 0 turns it off.
void PosixFailReadNumber(int n);
// The n-th heap allocation or reallocation from now fails; 0 turns it off.
void PosixFailAllocationNumber(int n);
// Every reallocation moves the block and poisons the old one, so that a stale
// address into a moved buffer shows at once.
void PosixMoveEveryReallocation(bool on);
// Files the seam has opened so far, and those of them not yet closed.
int PosixFilesOpened();
int PosixFilesOpen();
