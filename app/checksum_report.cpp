#include "app/program.h"

void ChecksumReport() {}
