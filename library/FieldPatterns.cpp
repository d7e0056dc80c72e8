#include "library/FieldPatterns.h"
