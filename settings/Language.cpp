#include "settings/Language.h"

int Language = 0;
