#include "bars/DockLayout.h"
