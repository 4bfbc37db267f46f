#include "config/KDConfig.h"
