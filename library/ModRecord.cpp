#include "library/ModRecord.h"
