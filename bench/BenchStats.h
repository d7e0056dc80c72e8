#pragma once

#include <vector>

// The middle value; the mean of the two middle values for an even count.
double median(std::vector<double> values);
