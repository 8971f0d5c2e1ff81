// Placeholder until the implementation lands.
#include "platform/core/codepages.h"
