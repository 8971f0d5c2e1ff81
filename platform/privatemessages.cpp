// Placeholder until the implementation lands.
#include "platform/privatemessages.h"
