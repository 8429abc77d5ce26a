// From outside the tree: not part of the graph.
#include "datamodule/core/iodata.h"
