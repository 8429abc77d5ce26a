// a -> b
#include "B.h"
