#include "library/import/ImportProgress.h"

ImportProgress::~ImportProgress() = default;
