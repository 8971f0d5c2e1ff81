// Placeholder until the implementation lands.
#include "platform/customgrid.h"
