// b -> c, by a path next to the file
#include "B.h"
#include "../c/C.h"
