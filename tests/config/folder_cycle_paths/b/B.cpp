// b -> c
#include "B.h"
#include "folder_cycle_paths/c/C.h"
