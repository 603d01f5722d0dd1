#pragma once

#include "wrl/client.h"
#include "wrl/event.h"
#include "wrl/implements.h"
