#pragma once

#include "address/BackgroundPostalLoader.h"

// The loader's former name, until every caller has moved to the new one.
using PostalCompleterFactory = BackgroundPostalLoader;
