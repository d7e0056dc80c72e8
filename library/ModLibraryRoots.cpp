#include "library/ModLibraryRoots.h"
