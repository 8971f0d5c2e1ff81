// Placeholder until the implementation lands.
#include "platform/inputstate.h"
