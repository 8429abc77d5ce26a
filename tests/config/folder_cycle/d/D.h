// d -> a: d reaches the cycle but is not part of it
#include "A.h"
