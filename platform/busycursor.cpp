// Placeholder until the implementation lands.
#include "platform/busycursor.h"
