#include "library/ModImport.h"
