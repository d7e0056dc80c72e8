#include "library/ModInstall.h"
