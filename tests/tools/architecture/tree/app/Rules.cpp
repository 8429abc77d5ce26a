// app_rules: a header of base_core through its published folder.
#include "core/Core.h"
