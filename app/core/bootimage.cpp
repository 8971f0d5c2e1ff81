// Placeholder until the implementation lands.
#include "app/core/bootimage.h"
