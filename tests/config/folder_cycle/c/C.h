// c -> a, closing the cycle
#include "A.h"
