// c -> a, closing the cycle
#include "folder_cycle_paths/a/A.h"
