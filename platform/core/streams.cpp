// Placeholder until the implementation lands.
#include "platform/core/streams.h"
