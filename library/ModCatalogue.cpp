#include "library/ModCatalogue.h"
