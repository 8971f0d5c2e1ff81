// Placeholder until the implementation lands.
#include "platform/core/exceptions.h"
