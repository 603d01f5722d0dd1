#pragma once

#include "minwindef.h"

// Identifies one handler registration of an event.
typedef struct EventRegistrationToken {
    __int64 value;
} EventRegistrationToken;
