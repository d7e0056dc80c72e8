#include "library/PlatformMove.h"
