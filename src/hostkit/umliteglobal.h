// Export macro of the host's UI kit.
#pragma once

#ifndef UMLITE_API
#define UMLITE_API __attribute__((visibility("default")))
#endif
