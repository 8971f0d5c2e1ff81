// Placeholder until the implementation lands.
#include "platform/core/fileutils.h"
