// d -> a: d reaches the cycle but is not part of it
#include "folder_cycle_paths/a/A.h"
