// From outside the tree: not part of the graph.
#include "iodata.h"
