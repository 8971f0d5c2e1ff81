#include "hexeditor/ex/mphexeditorex.h"
