// app_window: links base_widgets, not plot_rules.
#include "Rules.h"
#include "base/widgets/Widgets.h"
#include "plot/Plot.h"
#include "generated/Version.h"
