// a -> b, named from the folder above the tree
#include "folder_cycle_paths/b/B.h"
