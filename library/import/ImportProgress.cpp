#include "ImportProgress.h"

ImportProgress::~ImportProgress() = default;
