#include "database/storage/status.h"
